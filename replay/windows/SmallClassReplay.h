#pragma once

#include "app/records/InitTaskParams.h"
#include "ui/common/ModalDialog.h"
#include "ui/common/ZmBaseDialog.h"

#include <QPointer>
#include <QTimer>

#include <functional>

class CoursewareViewer;
class Whiteboard;

namespace Ui {
class SmallClassReplay;
}

// The replay window of a small-class lesson: its whole surface is the installed small-class page in replay
// mode, which replays the lesson by itself. Once the router has stretched it over the desktop, the window loads
// the page through the class-entry runner with the whiteboard step alone, then serves the page's requests (the
// client environment, closing, the buttons "reset" and "feedback"). It shows the processor load in its title bar
// and warns once when it stays high, asks before the user leaves, and ends by posting event code 1 to the window
// router, which deletes it. It holds one child dialog at a time. GUI thread only.
class SmallClassReplay : public ZmBaseDialog
{
    Q_OBJECT

public:
    static constexpr int entryDelayMs = 100;
    static constexpr int entryStepTimeoutSec = 30;
    static constexpr int cpuSampleIntervalMs = 5000;
    // This many samples in a row at or above the load bring the notice.
    static constexpr int cpuOverloadPercent = 70;
    static constexpr int cpuOverloadSamples = 8;

    explicit SmallClassReplay(QWidget* parent = nullptr);
    ~SmallClassReplay() override;

    // Maximised over the available desktop, then shown; the first resize to its full width starts the entry run.
    void showMax();

    // The entry run: loads the replay page of the lesson's offline folder. False when no run was made (no folder,
    // or no parameter block).
    bool initTasks();

    // Makes dialog the one child dialog held; the one held before is rejected and deleted later. False while the
    // entry run is going: the caller deletes the dialog.
    bool setCurModalDialog(ModalDialog* dialog);
    ModalDialog* curModalDialog() const { return m_pCurModalDialog.data(); }

    // Connects sig_initTasks_ended to the receiver's slot (SLOT() text), queued, once per pair.
    void connectInitTasksEnded(QObject* receiver, const char* slot);

    // The replay page's address: the page file's URL with the lesson's query, every value percent-encoded, and
    // "&isReplay=1" at the end.
    static QString replayPageAddress(const QString& pagePath, const QString& lessonFolder, const QString& periodId,
                                     int userId, const QString& token, const QString& webMode, const QString& language);

    CoursewareViewer* courseware() const;
    Whiteboard* whiteboard() const;
    bool isEntryRunning() const { return m_initTaskParams != nullptr; }
    bool isExiting() const { return m_exiting; }
    int cpuOverloadCount() const { return m_cpuOverloadCount; }

    // Tests only: where the processor load samples come from (getSystemCpuUsage by default).
    void setCpuUsageSourceForTesting(std::function<int()> source) { m_cpuUsage = std::move(source); }

signals:
    void sig_initTasks_ended(Init_Tasks_Result result);

public slots:
    void onTitleCloseBtnClicked();
    void onWbWebCloseWindowResponse();
    void onWbWebCloseWindow();
    // Posts event code 1 to the window router and clears the member map; the router deletes the window.
    void ExitMe();
    void onWbWebEnvRequest();
    void onWbWebBtnClicked(QString webBtn_domID);
    void popupFeedbackDlg();
    void popupFeedbackReceivedDlg();
    void popupNotRecommendDlg(NotRecommendDeviceType deviceTypes);
    void onTimerCpuUsage();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Before ExitMe a close request becomes the exit question.
    void closeEvent(QCloseEvent* event) override;

private:
    // A notice with one button, "Get it", held as the child dialog (or dropped when refused).
    void showNotice(const QString& text);

    Ui::SmallClassReplay* m_ui;
    s_InitTask_Params* m_initTaskParams = nullptr;
    bool m_entryStarted = false;
    bool m_exiting = false;
    QPointer<ModalDialog> m_pCurModalDialog;
    QTimer m_cpuTimer;
    int m_cpuOverloadCount = 0;
    std::function<int()> m_cpuUsage;
};
