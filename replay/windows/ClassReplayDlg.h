#pragma once

#include "replay/controllers/ReplayCtrl.h"
#include "replay/windows/ReplayClock.h"
#include "ui/common/ModalDialog.h"
#include "ui/common/WattingDlg.h"
#include "ui/common/ZmBaseDialog.h"

#include <QPointer>
#include <QTimer>

class QLabel;
class QPushButton;
class QSlider;
class ReplayerOverlapWidget;
class Whiteboard;

// What the normal-class and public-class replay windows share: the one replay clock, which every 50 ms hands its
// position to the composite replay controller, the play bar (play button, position slider, elapsed and remaining
// time), the waiting, failure and exit dialogs, and the overlay at the end with its buttons to leave or replay.
// The window follows the controller's state (each window in its own way) and ends by posting event code 1 to the
// window router; it never closes itself. GUI thread only.
class ClassReplayDlg : public ZmBaseDialog
{
    Q_OBJECT

public:
    static constexpr int clockIntervalMs = 50;
    // From the overlay's play button to playing again.
    static constexpr int replayAgainDelayMs = 1000;

    ~ClassReplayDlg() override;

    // Stores the controller (not owned) and follows its state.
    virtual bool setReplayCtrl(ReplayCtrl* ctrl);
    ReplayCtrl* replayCtrl() const { return m_replayCtrl; }

    // Shows the window over the whole available desktop.
    void showMax();
    void stopReplayClock() { stopClock(); }
    // The owner's close: the window closes without asking.
    void closeForGood();

    // "mm:ss" below one hour, else "hh:mm:ss" (hours of 100 or more with all their digits).
    static QString timeText(qint64 seconds);
    static void setTimeText(QLabel* label, qint64 seconds);

    // The replay clock's position in milliseconds.
    int currentPosition() const;
    bool isPlaying() const { return m_playing; }
    bool isClockRunning() const { return m_clock.isRunning(); }

    Whiteboard* whiteboard() const { return m_parts.whiteboard; }
    QWidget* playBar() const { return m_parts.playBar; }
    QPushButton* playButton() const { return m_parts.playBtn; }
    QLabel* playTimeLabel() const { return m_parts.playTime; }
    QLabel* remainTimeLabel() const { return m_parts.remainTime; }
    QSlider* slider() const { return m_slider; }
    ReplayerOverlapWidget* overlap() const { return m_overlap; }
    WattingDlg* waitingDialog() { return &m_waitingDlg; }
    // The failure or exit question now open, or null.
    ModalDialog* modalDialog() const { return m_modalDlg.data(); }

    // Tests only: where the replay clock reads the time.
    void setClockSourceForTesting(ReplayClock::TimeSource source);

public slots:
    virtual void onReplayCtrlStateChanged(ReplayCtrl* pCtrl, ReplayerState state) = 0;
    void onPlayBtnClicked();
    void onTimerForChangeUiPostion();
    void onTitleBtnReloadClicked();
    void onTitleBtnCloseClicked();
    void onWhiteboardBufferFinished();
    void onSliderMoved(int value);
    void onSliderPressed();
    void onSliderReleased();
    void onOverlapPlayBtnClicked();
    void onOverlapBtnCloseClicked();

protected:
    // The form's widgets the shared behaviour works on.
    struct Parts
    {
        Whiteboard* whiteboard = nullptr;
        QWidget* playBar = nullptr;
        QPushButton* playBtn = nullptr;
        QLabel* playTime = nullptr;
        QLabel* remainTime = nullptr;
        QSlider* playProgress = nullptr;
    };

    explicit ClassReplayDlg(QWidget* parent);

    // After the form is set up: background, geometry, title bar, play bar, waiting dialog, overlay and clock.
    void setUpReplayWindow(const Parts& parts);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    // Title bar, overlay, then the window's own layout.
    void resizeEvent(QResizeEvent* event) override;
    // A close by the window manager (its close button, Alt+F4) asks as the title bar's close does; the owner's
    // close (closeForGood) and a restart's go ahead.
    void closeEvent(QCloseEvent* event) override;

    // Sizes the page and the video column for the window size.
    virtual void layoutReplay(const QSize& windowSize) = 0;

    void startClock();
    void stopClock();
    // The slider (when moveSlider) and the two time labels for the position.
    void updatePosition(int ms, bool moveSlider);
    void setPlaying(bool playing);
    // The length of the replay in milliseconds, 0 without a controller.
    qint32 replayDuration() const;
    // The replay is ready: the play bar is armed for its length and the replay plays from the clock (whose
    // position stays); resetPlayTime also shows 00:00 as the time played until the next tick.
    void startReadyReplay(bool resetPlayTime);
    // Stops waiting and shows the failure dialog of a load that failed.
    void showLoadFailure();
    // Posts event code 1 to the window router.
    void endReplay();

    const Parts& parts() const { return m_parts; }

    ReplayCtrl* m_replayCtrl = nullptr;
    QSlider* m_slider = nullptr;
    bool m_playing = false;
    WattingDlg m_waitingDlg;

private:
    // Rejects and drops the dialog now open, then holds dialog.
    void replaceModalDialog(ModalDialog* dialog);

    Parts m_parts;
    QTimer m_uiTimer;
    ReplayClock m_clock;
    bool m_sliderPressed = false;
    bool m_closingForGood = false;
    ReplayerOverlapWidget* m_overlap = nullptr;
    QPointer<ModalDialog> m_modalDlg;
};
