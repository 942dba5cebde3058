#pragma once

#include "rooms/blocks/RoomMemberTypes.h"

#include <QWidget>

// The raise-hand button as its controller sees it: a state (hand down, raised with a countdown, microphone open)
// and a countdown drawn over it. It reports clicks with the state it was in and knows nothing of messages.
// RaiseHandWidget is the implementation.
class RaiseHandWidget_Out : public QWidget
{
    Q_OBJECT

public:
    explicit RaiseHandWidget_Out(QWidget* parent = nullptr);
    ~RaiseHandWidget_Out() override;

signals:
    void clicked(BtnIconType btnIconType);

public slots:
    // The button's look for the state (BtnIcon_Raised keeps the look it has) and whether it takes clicks.
    virtual void setBtnIconType(BtnIconType type, bool enabled) = 0;
    virtual BtnIconType btnIconType() const = 0;
    // Shows the countdown over the button: an empty bar and the seconds left.
    virtual void startCountdown(int seconds) = 0;
    // Hides the countdown; the hand is down again.
    virtual void stopCountdown() = 0;
    // elapsed seconds of the countdown: the bar fills, the seconds left count down.
    virtual void updateCountdown(int elapsed) = 0;
    // Into the parent's bottom-right corner, less the corner margins.
    virtual void moveToCorner() = 0;
};
