#pragma once

#include <QLabel>

namespace Ui {
class ReplayerOverlapWidget;
}

// The half-transparent layer a replay window lays over the replay when it ends, with a button to leave and one to
// play again. It only reports the presses, as soon as a button goes down.
class ReplayerOverlapWidget : public QLabel
{
    Q_OBJECT

public:
    explicit ReplayerOverlapWidget(QWidget* parent = nullptr);
    ~ReplayerOverlapWidget() override;

signals:
    void signalPlay();
    void signalClose();

private slots:
    void on_playBtn_pressed();
    void on_closeBtn_pressed();

private:
    Ui::ReplayerOverlapWidget* m_form;
};
