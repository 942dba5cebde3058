#pragma once

#include "live/rtc/DeviceInfo.h"
#include "settings/ConfigeDlg.h"

#include <QList>
#include <QString>
#include <QTimer>

#include <functional>

class AsyncDownload;
class AsyncPing;
class CheckSystemDlg_Ctrl;
class ConfigeTipDlg;
class QComboBox;
class QDialog;
class QLabel;
class QStringListModel;
class QWidget;

namespace Ui {
class CheckSystemDlg;
}

// The device-check wizard: a frameless dialog that walks the user through the camera, microphone, speaker and
// program/network checks, shows the results and files them with the class service. Its worker does all device
// work on its own thread; the wizard shows pages, turns user actions into signals for the worker and shows what the
// worker reports. While the devices are tested it measures the network (four pings, one download) and the
// processor's load in the background.
//
// Pages: 0 welcome -> 2 -> 22 camera -> 23 microphone -> 24 speaker -> 21 program/network -> 25 result. Ends with
// done(1) after Finish or a submitted report, done(0) when closed early.
class CheckSystemDlg : public ConfigeDlg
{
    Q_OBJECT

public:
    explicit CheckSystemDlg(QWidget* parent = nullptr);
    ~CheckSystemDlg() override;

    void setPage(int page);
    // Shows or hides the three close buttons; hidden, the wizard cannot be left before its end.
    void setCloseButtonsVisible(bool visible);

    std::map<std::string, std::string>& changedDevices() override { return m_changedDevices; }

    int currentPage() const { return m_currentPage; }
    bool systemOk() const { return m_systemOk; }
    int cpuUsage() const { return m_cpuUsage; }

    // Where the processor's load is sampled from, and how often (getSystemCpuUsage every second unless set); null
    // restores that.
    static void setCpuUsageSampler(std::function<int()> sampler, int intervalMs = 1000);

signals:
    void sig_page_current_changed(int nCurrentPage);
    void sig_page_camera_select_changed(QString deviceID);
    void sig_page_camera_syncDeviceList();
    void sig_reboot_camera_devices();
    void sig_page_microphone_select_changed(QString deviceID);
    void sig_page_microphone_syncDeviceList();
    void sig_page_speaker_syncDeviceList();
    void sig_page_speaker_play_audio(bool);
    void sig_page_speaker_select_changed(QString deviceID);
    void sig_page_speaker_volume_changed(int nValue);
    void sig_finish_check_save_ini();

public slots:
    void slot_continue_device_test();
    void slot_end_device_test();
    void on_closeBtn_clicked();
    void on_page_1_btn_start_clicked();
    void on_page_2_1_btn_next_clicked();
    void on_page_2_2_btn_no_video_clicked();
    void on_page_2_2_btn_next_clicked();
    void on_page_2_3_btn_sound_wave_clicked();
    void on_page_2_3_btn_next_clicked();
    void on_page_2_4_btn_voiceless_clicked();
    void on_page_2_4_btn_next_clicked();
    void on_btn_finish_check_clicked();
    void on_btn_submit_feekback_clicked();
    void check_result_lab_show();
    void on_page_2_4_btn_play_audio_clicked();
    void on_btn_again_get_camera_clicked();
    void on_btn_again_get_microphone_clicked();
    void on_btn_again_get_loudspeaker_clicked();
    void on_btn_again_check_device_clicked();
    void slot_async_start_result(int nInitResult);
    void slot_camera_devices_changed(vector_device_info devices, QString curDeviceID);
    void slot_camera_preview_began(QString deviceID);
    void slot_camera_preview_ended(QString deviceID);
    void slot_ui_page_camera_select_changed(int);
    void slot_microphone_devices_changed(vector_device_info devices, QString curDeviceID);
    void slot_ui_page_microphone_select_changed(int);
    void slot_micphone_volume_indication(QString deviceID, int volume);
    void slot_speaker_devices_changed(vector_device_info devices, QString curDeviceID);
    void slot_speaker_preview_ended(QString deviceID);
    void slot_ui_page_speaker_select_changed(int index);
    void slot_ui_page_speaker_volume_changed(int nValue);
    void updateSystemCheckResult();
    void slotPingEnded(AsyncPing* pAsyncPing);
    void slotDownloadEnded(AsyncDownload* pAsynDownload);
    void onTimerCpuUsage();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void initTipsText();
    void initVersionLine();
    void setResultIcon(QLabel* label, bool ok);
    // A device step's answer: its result and step-bar icon, then the next page.
    void recordStep(bool& result, QLabel* icon, bool ok, int nextPage);
    void stopTestSound();
    // Names into the model, ids into its "idList", the selection into the combo box; false for the no-device state.
    bool showDevices(QComboBox* combo, QStringListModel* model, const vector_device_info& devices,
                     const QString& currentId);
    // The id at index of the model's "idList"; false outside it.
    static bool idAt(QStringListModel* model, int index, QString& id);
    // The close question, or the failed-report notice, over the wizard's parent; not shown yet.
    ConfigeTipDlg* createTip(bool continuePage);

    // The measuring run of the program/network page.
    void startSystemCheck();
    void stopSystemCheck();
    void startPing(const QString& url);
    void startCpuTimer();
    void stopCpuTimer();
    int pingVerdictOverall() const;
    int submitCheckReport();

    std::map<std::string, std::string> m_changedDevices;
    QStringListModel* m_cameraModel = nullptr;
    QStringListModel* m_microphoneModel = nullptr;
    QStringListModel* m_speakerModel = nullptr;
    bool m_playingAudio = false;
    bool m_systemOk = false;
    bool m_cameraOk = false;
    bool m_microphoneOk = false;
    bool m_speakerOk = false;
    bool m_closeButtonsVisible = true;
    int m_currentPage = 0;
    CheckSystemDlg_Ctrl* m_worker = nullptr;
    Ui::CheckSystemDlg* ui = nullptr;
    QDialog* m_renderWindow = nullptr;
    QList<AsyncPing*> m_pings;
    QList<AsyncPing*> m_endedPings;
    AsyncDownload* m_download = nullptr;
    QTimer m_cpuTimer;
    int m_cpuSampleCount = 0;
    int m_cpuUsage = 0;
};
