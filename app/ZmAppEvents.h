#pragma once

#include <QEvent>

// Which top-level window the window router shows.
enum AppStartStatus : int
{
    AppStartStatus_None = 0,
    AppStartStatus_MainRoom = 1,
    AppStartStatus_NormalClassRoom = 2,
    AppStartStatus_PublicClassRoom = 3,
    AppStartStatus_SmallClassRoom = 4,
    AppStartStatus_NormalClassReplay = 5,
    AppStartStatus_PublicClassReplay = 6,
    AppStartStatus_SmallClassReplay = 7,
};

// What a window tells the router when it ends.
enum AppEventCode : int
{
    AppEventCode_ClassRoomEnded = 0,
    AppEventCode_ReplayEnded = 1,
    AppEventCode_MainRoomClosed = 2,
    // A class room ended because a step run of it failed or was given up.
    AppEventCode_ClassEntryGivenUp = 3,
};

// Asks the window router for a start status. Created with new and posted; the event queue owns it.
class ZmAppStatusEvent : public QEvent
{
public:
    static constexpr QEvent::Type kType = QEvent::Type(2617);

    explicit ZmAppStatusEvent(int status)
        : QEvent(kType)
        , m_status(status)
    {
    }

    int status() const { return m_status; }

private:
    int m_status;
};

// Tells the window router that a window has ended (an AppEventCode).
class ZmAppEvent : public QEvent
{
public:
    static constexpr QEvent::Type kType = QEvent::Type(2631);

    explicit ZmAppEvent(int code)
        : QEvent(kType)
        , m_code(code)
    {
    }

    int code() const { return m_code; }

private:
    int m_code;
};
