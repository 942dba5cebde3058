#pragma once

#include "replay/windows/ClassReplayDlg.h"

class QTextEdit;
class VideoReplayWidget;

namespace Ui {
class PublicClassReplayDlg;
}

// The replay window of a public lesson: the replayed whiteboard page with its lesson title, and beside it the
// teacher's recorded video above the course introduction of the lesson record; the play bar below shows until the
// mouse first leaves the window. PublicClassReplayCtrl makes and drives it. Unlike the normal-class window it
// waits only while the replay reports loading, and a stall pauses the players while the clock runs on.
class PublicClassReplayDlg : public ClassReplayDlg
{
    Q_OBJECT

public:
    // The page (aspect 1.62 : 1 below its 64-pixel title) and the height of the right column beside it.
    struct Layout
    {
        QSize whiteboard;
        int rightPanelHeight = 0;
    };

    // Asks the class service for the lesson record (blocking) and shows its introduction.
    explicit PublicClassReplayDlg(QWidget* parent = nullptr);
    ~PublicClassReplayDlg() override;

    void setPlayTimeText(qint64 seconds);
    void setRemainTimeText(qint64 seconds);

    // What layoutReplay gives a window of this size, with a play panel of this height and a right column of this
    // width.
    static Layout layoutFor(const QSize& windowSize, int playPanelHeight, int rightPanelWidth);

    VideoReplayWidget* teacherTile() const;
    QWidget* rightPanel() const;
    QTextEdit* courseIntroduction() const;

public slots:
    void onReplayCtrlStateChanged(ReplayCtrl* pCtrl, ReplayerState state) override;

protected:
    void layoutReplay(const QSize& windowSize) override;

private:
    void showCourseIntroduction();

    Ui::PublicClassReplayDlg* m_ui;
};
