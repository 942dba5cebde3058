#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class ToastDialog;
class Whiteboard;

// The courseware area of a class room: the whiteboard page and a native surface for the teacher's shared desktop,
// stacked in one place with one of them shown, and the room's short notices over them, one at a time (3000 ms
// each, 500 ms apart, the rest queued in order). GUI thread only.
class CoursewareViewer : public QWidget
{
    Q_OBJECT

public:
    enum ViewMode
    {
        WhiteboardView = 0,
        ShareSurfaceView = 1,
    };

    explicit CoursewareViewer(QWidget* parent = nullptr);
    ~CoursewareViewer() override;

    // The page host; never null.
    Whiteboard* whiteboard() const { return m_whiteboard; }

    // 0 shows the whiteboard, 1 the share surface, each at the viewer's size; other values change nothing.
    void setViewMode(int mode);
    int viewMode() const { return m_viewMode; }

    // The share surface's own native window, the render target of the shared desktop.
    WId shareSurfaceWinId() const;

    // Shows a notice (ToastDialog kinds: 0 success, 1 warning, 2 error) at once when none is on screen or due,
    // else queues it.
    void showToast(int kind, const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    // The toast hid itself: the next notice follows after the gap.
    void slotToastShowTimeOut();
    void slotToastShowTimeOut2();

private:
    // Shows the notice, centred horizontally, 10 px below the top (and below half the lesson title while the
    // whiteboard shows).
    void placeToast(int kind, const QString& text);
    QWidget* shownView() const;

    Whiteboard* m_whiteboard;
    QLabel* m_shareSurface;
    ToastDialog* m_toast;
    int m_viewMode = WhiteboardView;
    QList<QPair<int, QString>> m_pendingToasts;
    QTimer m_toastGap;
};
