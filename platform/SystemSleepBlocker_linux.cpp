#include "platform/SystemSleepBlocker.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>
#include <QDebug>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

namespace {

const char kSystemBusSocket[] = "/run/dbus/system_bus_socket";

// The application's name as the services show it to the user.
QString applicationName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("ZmQuillo Desktop") : name;
}

} // namespace

SleepBlockerBuses SleepBlockerBuses::fromEnvironment()
{
    SleepBlockerBuses buses;
    buses.session = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (buses.session.isEmpty()) {
        const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString socket = runtimeDir + QStringLiteral("/bus");
        if (!runtimeDir.isEmpty() && QFileInfo::exists(socket))
            buses.session = QStringLiteral("unix:path=") + socket;
    }
    buses.system = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
    if (buses.system.isEmpty() && QFileInfo::exists(QString::fromLatin1(kSystemBusSocket)))
        buses.system = QStringLiteral("unix:path=") + QString::fromLatin1(kSystemBusSocket);
    return buses;
}

// One inhibition on one bus. It is asked for without waiting, held while it is wanted, and released as soon as it
// is no longer wanted, also when the answer comes after that. Pending answers hold the object alive.
class SystemSleepBlocker::Inhibition : public std::enable_shared_from_this<Inhibition>
{
public:
    // optional: a missing bus or service is information, not a warning.
    Inhibition(QString address, QString reason, QString busLabel, QString serviceLabel, bool optional)
        : m_address(std::move(address))
        , m_reason(std::move(reason))
        , m_busLabel(std::move(busLabel))
        , m_serviceLabel(std::move(serviceLabel))
        , m_optional(optional)
    {
    }
    virtual ~Inhibition() = default;

    void setWanted(bool wanted)
    {
        if (wanted == m_wanted)
            return;
        m_wanted = wanted;
        if (m_wanted && m_state == State::Released)
            ask();
        else if (!m_wanted && m_state == State::Held)
            drop();
    }

protected:
    // The request, its answer kept (false with *error when it holds nothing usable), and the release.
    virtual QDBusMessage request(const QString& reason) const = 0;
    virtual bool keep(const QDBusMessage& reply, QString* error) = 0;
    virtual void release(QDBusConnection& bus) = 0;
    // False with *error when the bus can't carry this inhibition.
    virtual bool canUse(const QDBusConnection& bus, QString* error) const
    {
        Q_UNUSED(bus)
        Q_UNUSED(error)
        return true;
    }

private:
    enum class State
    {
        Released,
        Asking,
        Held
    };

    // A line about a missing bus or service: information where the service is optional, else a warning.
    void logMissing(const QString& text) const
    {
        if (m_optional)
            qInfo().noquote() << "SystemSleepBlocker:" << text;
        else
            qWarning().noquote() << "SystemSleepBlocker:" << text;
    }

    void ask()
    {
        if (m_address.isEmpty()) {
            logMissing(QStringLiteral("no %1: the %2 is not inhibited").arg(m_busLabel, m_serviceLabel));
            return;
        }
        if (!connectBus())
            return;
        QString error;
        if (!canUse(m_bus, &error)) {
            logMissing(QStringLiteral("the %1 is not inhibited: %2").arg(m_serviceLabel, error));
            return;
        }
        m_state = State::Asking;
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(request(m_reason)));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [self = shared_from_this(), watcher] {
            self->answered(watcher->reply());
            watcher->deleteLater();
        });
    }

    bool connectBus()
    {
        if (m_bus.isConnected())
            return true;
        // One connection per bus for the process, made on first use; a failed one is dropped for a later try.
        const QString name = QStringLiteral("zm-sleep-blocker ") + m_address;
        m_bus = QDBusConnection::connectToBus(m_address, name);
        if (m_bus.isConnected())
            return true;
        logMissing(QStringLiteral("the %1 at %2 is not reachable (%3): the %4 is not inhibited")
                       .arg(m_busLabel, m_address, m_bus.lastError().message(), m_serviceLabel));
        QDBusConnection::disconnectFromBus(name);
        m_bus = QDBusConnection(QString());
        return false;
    }

    void answered(const QDBusMessage& reply)
    {
        m_state = State::Released;
        if (reply.type() != QDBusMessage::ReplyMessage) {
            const QString text = QStringLiteral("the %1 is not inhibited: %2 (%3)")
                                     .arg(m_serviceLabel, reply.errorMessage(), reply.errorName());
            if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown"))
                logMissing(text);
            else
                qWarning().noquote() << "SystemSleepBlocker:" << text;
            return;
        }
        QString error;
        if (!keep(reply, &error)) {
            qWarning().noquote() << "SystemSleepBlocker: the" << m_serviceLabel << "gave an unusable answer:" << error;
            return;
        }
        m_state = State::Held;
        if (m_wanted)
            qInfo().noquote() << "SystemSleepBlocker: the" << m_serviceLabel << "is inhibited";
        else
            drop();
    }

    void drop()
    {
        release(m_bus);
        m_state = State::Released;
        qInfo().noquote() << "SystemSleepBlocker: the" << m_serviceLabel << "is released";
    }

    const QString m_address;
    const QString m_reason;
    const QString m_busLabel;
    const QString m_serviceLabel;
    const bool m_optional;
    QDBusConnection m_bus{QString()};
    State m_state = State::Released;
    bool m_wanted = false;
};

namespace {

// The screen saver of the desktop session: Inhibit gives a cookie that UnInhibit returns.
class ScreenSaverInhibition : public SystemSleepBlocker::Inhibition
{
public:
    ScreenSaverInhibition(const QString& address, const QString& reason)
        : Inhibition(address, reason, QStringLiteral("session bus"), QStringLiteral("screen saver"), false)
    {
    }

protected:
    QDBusMessage request(const QString& why) const override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"), kPath,
                                                           kInterface, QStringLiteral("Inhibit"));
        call << applicationName() << why;
        return call;
    }

    bool keep(const QDBusMessage& reply, QString* error) override
    {
        if (reply.signature() != QLatin1String("u")) {
            *error = QStringLiteral("signature \"%1\" instead of a cookie").arg(reply.signature());
            return false;
        }
        m_cookie = reply.arguments().constFirst().toUInt();
        return true;
    }

    void release(QDBusConnection& bus) override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"), kPath,
                                                           kInterface, QStringLiteral("UnInhibit"));
        call << m_cookie;
        if (!bus.send(call))
            qWarning().noquote() << "SystemSleepBlocker: the screen saver's release could not be sent:"
                                 << bus.lastError().message();
    }

private:
    static inline const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
    uint m_cookie = 0;
};

// The login manager's idle inhibitor: held as long as the file descriptor of its answer is open.
class IdleInhibition : public SystemSleepBlocker::Inhibition
{
public:
    IdleInhibition(const QString& address, const QString& reason)
        : Inhibition(address, reason, QStringLiteral("system bus"), QStringLiteral("login manager's idle handling"),
                     true)
    {
    }

    ~IdleInhibition() override { closeFd(); }

protected:
    bool canUse(const QDBusConnection& bus, QString* error) const override
    {
        if (bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)
            return true;
        *error = QStringLiteral("the system bus does not pass file descriptors");
        return false;
    }

    QDBusMessage request(const QString& why) const override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
        call << QStringLiteral("idle") << applicationName() << why << QStringLiteral("block");
        return call;
    }

    bool keep(const QDBusMessage& reply, QString* error) override
    {
        const QDBusUnixFileDescriptor descriptor = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
        if (reply.signature() != QLatin1String("h") || !descriptor.isValid()) {
            *error = QStringLiteral("signature \"%1\" instead of a file descriptor").arg(reply.signature());
            return false;
        }
        // A copy of our own, so the inhibition ends exactly when it is closed.
        m_fd = ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 3);
        if (m_fd < 0) {
            *error = QStringLiteral("the file descriptor could not be kept (%1)").arg(qt_error_string(errno));
            return false;
        }
        return true;
    }

    void release(QDBusConnection&) override { closeFd(); }

private:
    void closeFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int m_fd = -1;
};

} // namespace

SystemSleepBlocker::SystemSleepBlocker(const QString& reason, SleepBlockerBuses buses)
    : m_screenSaver(std::make_shared<ScreenSaverInhibition>(buses.session, reason))
    , m_idle(std::make_shared<IdleInhibition>(buses.system, reason))
{
}

SystemSleepBlocker::~SystemSleepBlocker()
{
    unblock();
}

void SystemSleepBlocker::block()
{
    m_blocked = true;
    m_screenSaver->setWanted(true);
    m_idle->setWanted(true);
}

void SystemSleepBlocker::unblock()
{
    m_blocked = false;
    m_screenSaver->setWanted(false);
    m_idle->setWanted(false);
}

} // namespace Platform
