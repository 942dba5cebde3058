// The single-instance lock: one holder at a time, released with its holder however that ends.
#include "platform/SingleInstance.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A user id that is not ours: "nobody".
constexpr uid_t kOtherUser = 65534;

// Makes at path what another user could have prepared: a folder the group ("group") or others ("others") may
// write to, a link to a folder ("link"), a file ("file") or a folder of kOtherUser ("foreign", as root only).
// False when it cannot be made.
bool makeUnsafeFolder(const QString& kind, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == "link")
        return QDir().mkpath(path + ".target") && QFile::link(path + ".target", path);
    if (kind == "file")
        return ZmTest::writeFile(path, "x");
    if (::mkdir(name, 0700) != 0)
        return false;
    if (kind == "group")
        return ::chmod(name, 0770) == 0;
    if (kind == "others")
        return ::chmod(name, 0703) == 0;
    return ::geteuid() == 0 && ::chown(name, kOtherUser, kOtherUser) == 0;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;

private slots:
    void init() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path())); }

    void oneHolderAtATime()
    {
        Platform::SingleInstanceLock first("ZmTestKey1");
        Platform::SingleInstanceLock second("ZmTestKey1");
        QVERIFY(first.tryAcquire());
        QVERIFY(first.isHeld());
        QVERIFY(first.tryAcquire()); // holding it already
        QVERIFY(!second.tryAcquire());
        QVERIFY(second.heldElsewhere());
        QVERIFY(!second.isHeld());

        Platform::SingleInstanceLock otherKey("ZmTestKey2");
        QVERIFY(otherKey.tryAcquire());

        first.release();
        QVERIFY(!first.isHeld());
        QVERIFY(second.tryAcquire());
        QVERIFY(!second.heldElsewhere());
        QVERIFY(QFileInfo::exists(second.path())); // the file stays; only the lock matters
    }

    void releasedByDestruction()
    {
        {
            Platform::SingleInstanceLock holder("ZmTestKey3");
            QVERIFY(holder.tryAcquire());
        }
        Platform::SingleInstanceLock next("ZmTestKey3");
        QVERIFY(next.tryAcquire());
    }

    // A holder killed outright (as by a crash) leaves nothing that keeps the next start out.
    void releasedWhenTheHolderIsKilled()
    {
        Platform::SingleInstanceLock lock("ZmTestKey4");
        QProcess holder;
        // A holder without children: the lock lives exactly as long as this process.
        holder.start("/usr/bin/python3", {"-c",
                                          "import fcntl, sys, time\n"
                                          "f = open(sys.argv[1], 'a')\n"
                                          "fcntl.flock(f, fcntl.LOCK_EX)\n"
                                          "print('locked', flush=True)\n"
                                          "time.sleep(3600)\n",
                                          lock.path()});
        while (!holder.canReadLine())
            QVERIFY2(holder.waitForReadyRead(ZmTest::kStartWaitMs), holder.readAllStandardError().constData());
        QCOMPARE(holder.readLine(), QByteArray("locked\n"));
        QVERIFY(!lock.tryAcquire());
        QVERIFY(lock.heldElsewhere());

        holder.kill();
        QVERIFY(holder.waitForFinished());
        QTRY_VERIFY(lock.tryAcquire());
    }

    void unopenableLockFileIsAnError()
    {
        QVERIFY(QDir(m_runtime.path()).mkdir("ZmTestKey5.lock"));
        Platform::SingleInstanceLock lock("ZmTestKey5");
        QVERIFY2(!lock.tryAcquire(), qPrintable(lock.path()));
        QVERIFY(!lock.heldElsewhere());
        QVERIFY(!lock.errorString().isEmpty());
    }

    void runtimePaths()
    {
        QCOMPARE(Platform::runtimeDir(), QDir::cleanPath(m_runtime.path()));
        QCOMPARE(Platform::runtimePath("ZmQuillo234534569", ".lock"), m_runtime.filePath("ZmQuillo234534569.lock"));
    }

    // Without a runtime folder that only this user may write to, a private folder in the temporary folder.
    void privateFolderWithoutUsableRuntimeFolder_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::newRow("unset") << QString();
        QTest::newRow("relative") << "relative/dir";
        QTest::newRow("missing") << "/zm/no/such/dir";
        QTest::newRow("writable by the group") << "group";
        QTest::newRow("writable by others") << "others";
        QTest::newRow("of another user") << "foreign";
    }

    void privateFolderWithoutUsableRuntimeFolder()
    {
        QFETCH(QString, runtime);
        QTemporaryDir base;
        QTemporaryDir shared;
        QByteArray value = QFile::encodeName(runtime);
        if (runtime == "group" || runtime == "others" || runtime == "foreign") {
            const QString folder = shared.filePath("runtime");
            // Without root the root folder stands for a folder of another user.
            value = QFile::encodeName(makeUnsafeFolder(runtime, folder) ? folder : QStringLiteral("/"));
        }
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.isEmpty() ? QByteArray() : value);
        ScopedEnv tmp("TMPDIR", QFile::encodeName(base.path()));

        QString error;
        const QString folder = Platform::runtimeDir(&error);
        QCOMPARE(folder, base.filePath(QString("zmquillo-%1").arg(::geteuid())));
        QVERIFY(error.isEmpty());
        struct stat info;
        QVERIFY(::lstat(QFile::encodeName(folder), &info) == 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_uid, ::geteuid());
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
        QCOMPARE(Platform::runtimePath("K", ".sock"), folder + "/K.sock");

        // Found again as it is by the next start.
        QCOMPARE(Platform::runtimeDir(), folder);
        Platform::SingleInstanceLock lock("ZmTestKey6");
        QVERIFY2(lock.tryAcquire(), qPrintable(lock.errorString()));
        QCOMPARE(lock.path(), folder + "/ZmTestKey6.lock");
    }

    // A private folder that another user could have made or can write to is not used, and left as it is.
    void unsafePrivateFolderIsRefused_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("writable by the group") << "group";
        QTest::newRow("writable by others") << "others";
        QTest::newRow("a link to a folder") << "link";
        QTest::newRow("a file") << "file";
        QTest::newRow("of another user") << "foreign";
    }

    void unsafePrivateFolderIsRefused()
    {
        QFETCH(QString, fixture);
        QTemporaryDir base;
        const QString folder = base.filePath(QString("zmquillo-%1").arg(::geteuid()));
        const QByteArray name = QFile::encodeName(folder);
        if (fixture == "foreign" && ::geteuid() != 0)
            QSKIP("a folder of another user can only be made as root");
        QVERIFY(makeUnsafeFolder(fixture, folder));
        struct stat before;
        QVERIFY(::lstat(name, &before) == 0);

        ScopedEnv xdg("XDG_RUNTIME_DIR", QByteArray());
        ScopedEnv tmp("TMPDIR", QFile::encodeName(base.path()));
        QString error;
        QCOMPARE(Platform::runtimeDir(&error), QString());
        QVERIFY2(error.contains(folder), qPrintable(error));
        QCOMPARE(Platform::runtimePath("K", ".sock"), QString());

        Platform::SingleInstanceLock lock("ZmTestKey7");
        QVERIFY(!lock.tryAcquire());
        QVERIFY(!lock.heldElsewhere());
        QVERIFY2(lock.errorString().contains(folder), qPrintable(lock.errorString()));

        struct stat after;
        QVERIFY(::lstat(name, &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QVERIFY(!QFileInfo::exists(folder + "/ZmTestKey7.lock"));
    }

    // Another user's lock file, locked or not, never makes this user's start step back.
    void lockFileOfAnotherUserIsNotHonoured()
    {
        if (::geteuid() != 0)
            QSKIP("a file of another user can only be made as root");
        Platform::SingleInstanceLock lock("ZmTestKey8");
        QVERIFY(ZmTest::writeFile(lock.path(), QByteArray()));
        QVERIFY(::chown(QFile::encodeName(lock.path()), kOtherUser, kOtherUser) == 0);
        QProcess holder;
        holder.start("/usr/bin/python3", {"-c",
                                          "import fcntl, sys, time\n"
                                          "f = open(sys.argv[1], 'a')\n"
                                          "fcntl.flock(f, fcntl.LOCK_EX)\n"
                                          "print('locked', flush=True)\n"
                                          "time.sleep(3600)\n",
                                          lock.path()});
        while (!holder.canReadLine())
            QVERIFY2(holder.waitForReadyRead(ZmTest::kStartWaitMs), holder.readAllStandardError().constData());

        QVERIFY(!lock.tryAcquire());
        QVERIFY(!lock.heldElsewhere());
        QVERIFY2(lock.errorString().contains("another user"), qPrintable(lock.errorString()));
        holder.kill();
        QVERIFY(holder.waitForFinished());
        QVERIFY(!lock.tryAcquire()); // unlocked, still not this user's
        QVERIFY(!lock.heldElsewhere());
    }
};

ZM_TEST_MAIN_CORE(TestSingleInstance)
#include "tst_singleinstance.moc"
