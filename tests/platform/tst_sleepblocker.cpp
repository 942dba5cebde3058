// The sleep blocker against a private message bus with a fake screen saver and a fake login manager.
#include "platform/SystemSleepBlocker.h"

#include "LogCapture.h"
#include "ZmTestMain.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <memory>

using Platform::SleepBlockerBuses;
using Platform::SystemSleepBlocker;

namespace {

// A message bus of this test's own: a dbus-daemon on a socket in a temporary folder, without any services to
// start, stopped with the object.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    // Starts the daemon and waits (bounded) for its address; false with the reason in *error.
    bool start(QString* error)
    {
        QFile config(m_dir.filePath("bus.conf"));
        if (!m_dir.isValid() || !config.open(QIODevice::WriteOnly)) {
            *error = "no temporary folder for the bus";
            return false;
        }
        config.write(QString("<busconfig>\n"
                             "  <type>session</type>\n"
                             "  <listen>unix:dir=%1</listen>\n"
                             "  <auth>EXTERNAL</auth>\n"
                             "  <policy context=\"default\">\n"
                             "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                             "    <allow eavesdrop=\"true\"/>\n"
                             "    <allow own=\"*\"/>\n"
                             "  </policy>\n"
                             "</busconfig>\n")
                         .arg(m_dir.path())
                         .toUtf8());
        config.close();
        m_daemon.start("dbus-daemon", {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        if (!m_daemon.waitForStarted(ZmTest::kStartWaitMs)) {
            *error = "dbus-daemon does not start (scripts/deps installs it): " + m_daemon.errorString();
            return false;
        }
        while (!m_daemon.canReadLine()) {
            if (!m_daemon.waitForReadyRead(ZmTest::kStartWaitMs)) {
                *error = "dbus-daemon gave no address: " + m_daemon.readAllStandardError();
                return false;
            }
        }
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }

    QString address() const { return m_address; }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

// The desktop's screen saver: Inhibit hands out cookies from 41 on.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList calls;

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        calls << QString("Inhibit %1: %2").arg(application, reason);
        return ++m_cookie;
    }
    void UnInhibit(uint cookie) { calls << QString("UnInhibit %1").arg(cookie); }

private:
    uint m_cookie = 40;
};

// The login manager: each Inhibit answers with the writing end of a new pipe; the inhibition lasts until every
// copy of that end is closed, which the reading end shows as a hang-up.
class FakeLoginManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QStringList calls;

    ~FakeLoginManager() override
    {
        for (int fd : m_readEnds)
            ::close(fd);
    }

    // Per inhibition handed out, whether it is still held.
    QList<bool> held() const
    {
        QList<bool> result;
        for (int fd : m_readEnds) {
            pollfd probe{fd, POLLIN, 0};
            result << !(::poll(&probe, 1, 0) == 1 && (probe.revents & POLLHUP));
        }
        return result;
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode)
    {
        calls << QString("Inhibit %1 %2: %3 (%4)").arg(what, who, why, mode);
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return QDBusUnixFileDescriptor();
        m_readEnds << ends[0];
        QDBusUnixFileDescriptor answer(ends[1]); // a copy
        ::close(ends[1]);
        return answer;
    }

private:
    QList<int> m_readEnds;
};

// The fakes, registered under their well-known names on a bus.
class FakeServices
{
public:
    FakeServices(const QString& address, bool screenSaver, bool loginManager)
        : m_name("fake services " + address)
        , m_bus(QDBusConnection::connectToBus(address, m_name))
    {
        if (screenSaver) {
            QVERIFY(m_bus.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots));
            QVERIFY(m_bus.registerService("org.freedesktop.ScreenSaver"));
        }
        if (loginManager) {
            QVERIFY(m_bus.registerObject("/org/freedesktop/login1", &login, QDBusConnection::ExportAllSlots));
            QVERIFY(m_bus.registerService("org.freedesktop.login1"));
        }
    }
    ~FakeServices() { QDBusConnection::disconnectFromBus(m_name); }

    FakeScreenSaver saver;
    FakeLoginManager login;

private:
    QString m_name;
    QDBusConnection m_bus;
};

const QString kReason = "Lesson 880213";
const QString kInhibit = "Inhibit tst_sleepblocker: " + kReason;
const QString kIdleInhibit = "Inhibit idle tst_sleepblocker: " + kReason + " (block)";

// The held pattern of a fake login manager after count inhibitions: all released but a last one held.
QList<bool> heldPattern(int count, bool lastHeld)
{
    QList<bool> pattern;
    for (int i = 0; i < count; ++i)
        pattern << (lastHeld && i == count - 1);
    return pattern;
}

} // namespace

class TestSleepBlocker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName("tst_sleepblocker"); }

    // Each service is used where it answers; a missing bus or service is logged once and changes nothing else.
    void usesTheServicesThatAnswer_data()
    {
        QTest::addColumn<QString>("session"); // "bus", "none" or "unreachable"
        QTest::addColumn<QString>("system");  // "bus" or "none"
        QTest::addColumn<bool>("screenSaver");
        QTest::addColumn<bool>("loginManager");
        QTest::addColumn<QStringList>("logged");

        QTest::newRow("screen saver and login manager") << "bus"
                                                        << "bus" << true << true << QStringList{};
        QTest::newRow("no login manager")
            << "bus"
            << "bus" << true << false << QStringList{"the login manager's idle handling is not inhibited: "};
        QTest::newRow("no screen saver") << "bus"
                                         << "bus" << false << true
                                         << QStringList{"the screen saver is not inhibited: "};
        QTest::newRow("no system bus") << "bus"
                                       << "none" << true << true
                                       << QStringList{
                                              "no system bus: the login manager's idle handling is not inhibited"};
        QTest::newRow("no session bus") << "none"
                                        << "bus" << true << true
                                        << QStringList{"no session bus: the screen saver is not inhibited"};
        QTest::newRow("unreachable session bus")
            << "unreachable"
            << "none" << true << true
            << QStringList{"the session bus at unix:path=", "no system bus: the login manager's idle handling"};
        QTest::newRow("no bus at all") << "none"
                                       << "none" << true << true
                                       << QStringList{"no session bus: the screen saver is not inhibited",
                                                      "no system bus: the login manager's idle handling is not "
                                                      "inhibited"};
    }

    void usesTheServicesThatAnswer()
    {
        QFETCH(QString, session);
        QFETCH(QString, system);
        QFETCH(bool, screenSaver);
        QFETCH(bool, loginManager);
        QFETCH(QStringList, logged);

        PrivateBus bus;
        QString error;
        QVERIFY2(bus.start(&error), qPrintable(error));
        FakeServices fakes(bus.address(), screenSaver, loginManager);
        SleepBlockerBuses buses;
        if (session == "bus")
            buses.session = bus.address();
        else if (session == "unreachable")
            buses.session = "unix:path=" + bus.folder() + "/no-such-socket";
        if (system == "bus")
            buses.system = bus.address();
        const bool saverUsed = session == "bus" && screenSaver;
        const bool loginUsed = system == "bus" && loginManager;

        ZmTest::LogCapture capture;
        {
            SystemSleepBlocker blocker(kReason, buses);
            blocker.block();
            blocker.block();
            QVERIFY(blocker.isBlocked());
            if (saverUsed)
                QVERIFY(capture.waitFor("the screen saver is inhibited"));
            if (loginUsed)
                QVERIFY(capture.waitFor("the login manager's idle handling is inhibited"));
            for (const QString& line : logged)
                QVERIFY(capture.waitFor(line));
            QCOMPARE(fakes.login.held(), heldPattern(loginUsed ? 1 : 0, true));

            blocker.unblock();
            blocker.unblock();
            QVERIFY(!blocker.isBlocked());
        }
        QTRY_COMPARE(fakes.saver.calls, saverUsed ? (QStringList{kInhibit, "UnInhibit 41"}) : QStringList{});
        QTRY_COMPARE(fakes.login.held(), heldPattern(loginUsed ? 1 : 0, false));
        QCOMPARE(fakes.login.calls, loginUsed ? QStringList{kIdleInhibit} : QStringList{});
        for (const QString& line : logged)
            QCOMPARE(capture.linesContaining(line).size(), 1);
    }

    // Repeated calls keep one inhibition; a release asked for before the answer comes is done when it comes.
    // Both services share one bus here, so their requests arrive in the order they were sent.
    void repeatedCallsHoldOneInhibition_data()
    {
        QTest::addColumn<QStringList>("steps"); // block, unblock, or answered: wait for the answers
        QTest::addColumn<QStringList>("calls"); // the screen saver's
        QTest::addColumn<bool>("blocked");

        QTest::newRow("block twice") << QStringList{"block", "answered", "block"} << QStringList{kInhibit} << true;
        QTest::newRow("block twice at once") << QStringList{"block", "block"} << QStringList{kInhibit} << true;
        QTest::newRow("unblock without block") << QStringList{"unblock"} << QStringList{} << false;
        QTest::newRow("unblock twice") << QStringList{"block", "answered", "unblock", "unblock"}
                                       << QStringList{kInhibit, "UnInhibit 41"} << false;
        QTest::newRow("unblocked before the answer")
            << QStringList{"block", "unblock"} << QStringList{kInhibit, "UnInhibit 41"} << false;
        QTest::newRow("blocked again before the answer")
            << QStringList{"block", "unblock", "block"} << QStringList{kInhibit} << true;
        QTest::newRow("blocked again after a release") << QStringList{"block", "answered", "unblock", "block"}
                                                       << QStringList{kInhibit, "UnInhibit 41", kInhibit} << true;
    }

    void repeatedCallsHoldOneInhibition()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, calls);
        QFETCH(bool, blocked);

        PrivateBus bus;
        QString error;
        QVERIFY2(bus.start(&error), qPrintable(error));
        FakeServices fakes(bus.address(), true, true);
        ZmTest::LogCapture capture;
        auto blocker = std::make_unique<SystemSleepBlocker>(kReason, SleepBlockerBuses{bus.address(), bus.address()});
        int answers = 0;
        const auto waitForAnswers = [&capture](int count) {
            return capture.waitFor("the screen saver is inhibited", count) &&
                   capture.waitFor("the login manager's idle handling is inhibited", count);
        };
        for (const QString& step : steps) {
            if (step == "block")
                blocker->block();
            else if (step == "unblock")
                blocker->unblock();
            else
                QVERIFY(waitForAnswers(++answers));
        }
        QCOMPARE(blocker->isBlocked(), blocked);
        QTRY_COMPARE(fakes.saver.calls, calls);
        if (blocked)
            QVERIFY(waitForAnswers(calls.count(kInhibit)));

        // A last call the other way round comes after anything the steps sent: nothing more was sent.
        if (blocked) {
            blocker->unblock();
            calls << QString("UnInhibit %1").arg(40 + calls.count(kInhibit));
        } else {
            blocker->block();
            calls << kInhibit;
        }
        QTRY_COMPARE(fakes.saver.calls, calls);
        const int inhibitions = calls.count(kInhibit);
        QTRY_COMPARE(fakes.login.calls.size(), inhibitions);
        QTRY_COMPARE(fakes.login.held(), heldPattern(inhibitions, !blocked));

        blocker.reset();
        QTRY_COMPARE(fakes.login.held(), heldPattern(inhibitions, false));
    }

    // A blocker that goes away releases what it holds, also an answer that comes after it is gone.
    void destroyedBlockerReleases_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::newRow("held") << true;
        QTest::newRow("answer still to come") << false;
    }

    void destroyedBlockerReleases()
    {
        QFETCH(bool, answered);
        PrivateBus bus;
        QString error;
        QVERIFY2(bus.start(&error), qPrintable(error));
        FakeServices fakes(bus.address(), true, true);
        ZmTest::LogCapture capture;
        {
            SystemSleepBlocker blocker(kReason, {bus.address(), bus.address()});
            blocker.block();
            if (answered) {
                QVERIFY(capture.waitFor("the screen saver is inhibited"));
                QVERIFY(capture.waitFor("the login manager's idle handling is inhibited"));
                QCOMPARE(fakes.login.held(), QList<bool>{true});
            }
        }
        QTRY_COMPARE(fakes.saver.calls, (QStringList{kInhibit, "UnInhibit 41"}));
        QTRY_COMPARE(fakes.login.held(), QList<bool>{false});
        QVERIFY(capture.waitFor("the login manager's idle handling is released"));
    }

    // The buses come from the environment, and a session bus is never started for the blocker.
    void busesFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("sessionVariable");
        QTest::addColumn<bool>("runtimeSocket");
        QTest::addColumn<QByteArray>("systemVariable");
        QTest::addColumn<QString>("session"); // "<runtime>" stands for the runtime folder
        QTest::addColumn<QString>("system");

        QTest::newRow("addresses given") << QByteArray("unix:path=/tmp/s") << true << QByteArray("unix:path=/tmp/y")
                                         << "unix:path=/tmp/s"
                                         << "unix:path=/tmp/y";
        QTest::newRow("the session's socket in the runtime folder")
            << QByteArray() << true << QByteArray("unix:path=/tmp/y") << "unix:path=<runtime>/bus"
            << "unix:path=/tmp/y";
        QTest::newRow("no session bus") << QByteArray() << false << QByteArray("unix:path=/tmp/y") << QString()
                                        << "unix:path=/tmp/y";
    }

    void busesFromTheEnvironment()
    {
        QFETCH(QByteArray, sessionVariable);
        QFETCH(bool, runtimeSocket);
        QFETCH(QByteArray, systemVariable);
        QFETCH(QString, session);
        QFETCH(QString, system);

        QTemporaryDir runtime;
        QLocalServer socket;
        if (runtimeSocket)
            QVERIFY(socket.listen(runtime.filePath("bus")));
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray oldSystem = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        if (sessionVariable.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", sessionVariable);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", systemVariable);
        const SleepBlockerBuses buses = SleepBlockerBuses::fromEnvironment();
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", oldSystem);
        qunsetenv("DBUS_SESSION_BUS_ADDRESS"); // the tests run without one

        QCOMPARE(buses.session, session.replace("<runtime>", runtime.path()));
        QCOMPARE(buses.system, system);
    }
};

ZM_TEST_MAIN_CORE(TestSleepBlocker)
#include "tst_sleepblocker.moc"
