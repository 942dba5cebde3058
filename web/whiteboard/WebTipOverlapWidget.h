#pragma once

#include <QWidget>

namespace Ui {
class WebTipOverlapWidget;
}

// A dimmed overlay with a small browser view (showing "about:blank") in its centre and a close button at the
// view's top-right corner. Its holder decides what it is shown for.
class WebTipOverlapWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WebTipOverlapWidget(QWidget* parent = nullptr);
    ~WebTipOverlapWidget() override;

signals:
    void signalPlay();
    void signalClose();

private slots:
    // No button of the form reaches this one; it is there for a holder that adds a play button.
    void on_playBtn_pressed();
    // Emits signalClose() when the close button is pressed (not on release).
    void on_closeBtn_pressed();

private:
    Ui::WebTipOverlapWidget* ui;
};
