#pragma once

#include "replay/windows/ClassReplayDlg.h"

class VideoReplayWidget;

namespace Ui {
class NormalClassReplayDlg;
}

// The replay window of a one-to-one lesson: the replayed whiteboard page beside the teacher's and the student's
// recorded videos, the lesson name above them and the play bar below, which shows while the mouse is over the
// window. NormalClassReplayCtrl makes it, fills the lesson name and the tiles and drives it. The waiting dialog
// shows from setReplayCtrl until the replay is ready or fails.
class NormalClassReplayDlg : public ClassReplayDlg
{
    Q_OBJECT

public:
    // The page (aspect 1.62 : 1) and the column of two 4:3 tiles 10 pixels apart.
    struct Layout
    {
        QSize whiteboard;
        QSize videoPanel;
    };

    explicit NormalClassReplayDlg(QWidget* parent = nullptr);
    ~NormalClassReplayDlg() override;

    // Also shows the waiting dialog until the replay is ready or fails.
    bool setReplayCtrl(ReplayCtrl* ctrl) override;

    // What layoutReplay gives a window of this size, with the lesson title and play bar rows of these heights.
    static Layout layoutFor(const QSize& windowSize, int titleHeight, int playBarHeight);

    QLabel* lessonTitle() const;
    QWidget* videoPanel() const;
    VideoReplayWidget* teacherTile() const;
    VideoReplayWidget* studentTile() const;

public slots:
    void onReplayCtrlStateChanged(ReplayCtrl* pCtrl, ReplayerState state) override;

protected:
    void layoutReplay(const QSize& windowSize) override;

private:
    Ui::NormalClassReplayDlg* m_ui;
};
