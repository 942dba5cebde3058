#pragma once

#include "rooms/blocks/RaiseHandWidget_Out.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The raise-hand button in a corner of the public class room: a bear above a "Raise" button that becomes a
// countdown while the hand is up and a "Close" button while the teacher has opened the microphone.
class RaiseHandWidget : public RaiseHandWidget_Out
{
    Q_OBJECT

public:
    explicit RaiseHandWidget(QWidget* parent = nullptr);
    ~RaiseHandWidget() override;

    void setBtnIconType(BtnIconType type, bool enabled) override;
    BtnIconType btnIconType() const override { return m_state; }
    void startCountdown(int seconds) override;
    void stopCountdown() override;
    void updateCountdown(int elapsed) override;
    void moveToCorner() override;

    // The distances moveToCorner keeps from the parent's right and bottom edges.
    void setCornerMargins(int right, int bottom);

public slots:
    void on_btn_raise_hand_clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    BtnIconType m_state = BtnIcon_HandDown;
    QLabel* m_picture;
    QPushButton* m_button;
    QProgressBar* m_progress;
    QLabel* m_progressText;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
};
