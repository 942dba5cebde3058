#pragma once

#include <QString>

#include <memory>

namespace Platform {

// Where a sleep blocker sends its requests: the addresses of the user's session bus (the screen saver) and of the
// system bus (the login manager). An empty address means there is no such bus.
struct SleepBlockerBuses
{
    QString session;
    QString system;

    // $DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus when that socket exists; $DBUS_SYSTEM_BUS_ADDRESS, else
    // the standard system bus socket when it exists. A bus is never started for the blocker.
    static SleepBlockerBuses fromEnvironment();
};

// Keeps the system and the display awake while a lesson window is open: the screen saver's inhibition
// (org.freedesktop.ScreenSaver Inhibit / UnInhibit on the session bus) and, where the login manager runs, its idle
// inhibitor (org.freedesktop.login1 Inhibit "idle", held as a file descriptor). GUI thread.
//
// Requests never wait: an answer that comes after unblock() is released at once, also after the blocker is gone.
// Both calls are idempotent: a second block() while blocked, or unblock() while not blocked, sends nothing. A
// missing bus or service is logged once per block() and changes nothing else.
class SystemSleepBlocker
{
public:
    explicit SystemSleepBlocker(const QString& reason = QStringLiteral("A lesson is open"),
                                SleepBlockerBuses buses = SleepBlockerBuses::fromEnvironment());
    // Unblocks.
    ~SystemSleepBlocker();

    SystemSleepBlocker(const SystemSleepBlocker&) = delete;
    SystemSleepBlocker& operator=(const SystemSleepBlocker&) = delete;

    void block();
    void unblock();
    // True between block() and unblock(), whether or not a service granted the inhibition.
    bool isBlocked() const { return m_blocked; }

    class Inhibition;

private:
    std::shared_ptr<Inhibition> m_screenSaver;
    std::shared_ptr<Inhibition> m_idle;
    bool m_blocked = false;
};

} // namespace Platform
