#pragma once

#include <QPoint>
#include <QWidget>

namespace Ui {
class DesktopShareTitleBar;
}

// The small dark bar a class room shows while the local user shares the desktop: "Screen sharing...", a minimise
// button and an end-sharing button. Dragging the bar with any mouse button held moves the room window (its
// parent); the bar keeps its place inside the parent.
class DesktopShareTitleBar : public QWidget
{
    Q_OBJECT

public:
    explicit DesktopShareTitleBar(QWidget* parent = nullptr);
    ~DesktopShareTitleBar() override;

signals:
    void signal_minimum_window();
    void signal_exit_share_desktop();

public slots:
    void onButtonMinClicked();
    void onButtonShareDesktopClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    Ui::DesktopShareTitleBar* ui;
    QPoint m_lastMousePos; // global position of the last press or move
};
