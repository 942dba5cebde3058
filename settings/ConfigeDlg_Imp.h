#pragma once

#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "settings/ConfigeDlg.h"

#include <QEvent>
#include <QList>
#include <QPair>
#include <QPoint>
#include <QString>

#include <functional>
#include <vector>

class AgoraChannel;
class QComboBox;
class QStringListModel;

namespace agora {
namespace rtc {
class IRtcEngine;
}
} // namespace agora

namespace Ui {
class ConfigeDlg_Imp;
}

// The steps of the settings dialog's device checks, each posted to the dialog when the one before has ended.
enum ConfigerStatus : int
{
    CFG_Start = 1,
    CFG_CameraValidate_Succed = 2,
    CFG_CameraValidate_Failed = 3,
    CFG_AudioInValidate_Succed = 4,
    CFG_AudioInValidate_Failed = 5,
    CFG_AudioOutValidate_Succed = 6,
    CFG_AudioOutValidate_Failed = 7,
};

// Carries one ConfigerStatus to the dialog through its event queue.
class ConfigerStatusEvent : public QEvent
{
public:
    static constexpr QEvent::Type kType = QEvent::Type(1555);

    explicit ConfigerStatusEvent(int status)
        : QEvent(kType)
        , m_status(status)
    {
    }

    int status() const { return m_status; }

private:
    int m_status;
};

// The small in-class settings dialog: camera, microphone and speaker lists over the room's RTC engine (or an engine
// of its own when the room has none), Submit and Cancel. The lists fill one kind after the other, each kind asked up
// to three times a second apart; the saved choices are shown once all three are filled. Submit saves the chosen ids
// that changed, notes the chosen devices that are not recommended and ends with 1; the room then applies
// changedDevices(). Cancel, the close button and Escape end with 0. Either way the dialog gives its device managers
// (and its own engine) back before the opener's callback runs.
class ConfigeDlg_Imp : public ConfigeDlg
{
    Q_OBJECT

public:
    // The rooms' entry: a dialog over engine (null: an engine of its own), its Cancel button hidden when hideCancel,
    // its device checks started. The caller owns it (parent or deletion) and shows it.
    static ConfigeDlg_Imp* create(agora::rtc::IRtcEngine* engine, bool hideCancel, QWidget* parent);

    ~ConfigeDlg_Imp() override;

    ChangedDevices& changedDevices() override { return m_changedDevices; }

    // The position of the first device whose id equals id (case-sensitive); -1 when there is none.
    static int indexOfDeviceID(const QString& id, const std::vector<device_info>& devices);

    // Queues status for this dialog's device checks.
    void postConfigerStatus(int status);

public slots:
    // Gives the devices back, then ends the dialog and runs the opener's callback.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    // Dragging by the title bar.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void on_btn_close_clicked();
    void on_buttonCancel_clicked();
    void on_buttonOk_clicked();

private:
    // The devices of one kind as (name, id), in the engine's order.
    using DeviceList = QList<QPair<QString, QString>>;

    explicit ConfigeDlg_Imp(QWidget* parent);

    void init(agora::rtc::IRtcEngine* engine, bool hideCancel);
    void onConfigerStatus(int status);
    // Checks one kind (count until ready, then fill) and posts the status that follows.
    void checkKind(std::function<int()> count, std::function<void()> fill, int succeeded, int failed);
    // Each fill logs the kind's count and devices, appends them to the kind's list and returns the count.
    int fillCameras();
    int fillMicrophones();
    int fillSpeakers();
    static int fillList(const char* countLabel, int count, const std::vector<device_info>& devices, DeviceList& list);
    static void showList(const DeviceList& list, QStringListModel& model, QComboBox* box);
    void restoreSavedChoices();
    // For a chosen entry of list: notes flag when check finds it not recommended, saves its id under key and in
    // m_changedDevices when it differs from the saved one. An index outside the list does nothing.
    void submitKind(const char* key, const DeviceList& list, int index, bool (*check)(const QString&),
                    const char* checkName, int flag);
    void releaseDevices();

    AgoraAudioDevice m_audioDevice;
    AgoraVideoDevice m_videoDevice;
    Ui::ConfigeDlg_Imp* ui;
    AgoraChannel* m_ownChannel = nullptr;
    agora::rtc::IRtcEngine* m_engine = nullptr;
    QPoint m_dragOffset;
    DeviceList m_cameraList;
    QStringListModel* m_cameraModel;
    DeviceList m_microphoneList;
    QStringListModel* m_microphoneModel;
    DeviceList m_speakerList;
    QStringListModel* m_speakerModel;
    ChangedDevices m_changedDevices;
};
