// The single-instance lock: one holder at a time, released with its holder however that ends.
#include "platform/SingleInstance.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

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
                                          "time.sleep(60)\n",
                                          lock.path()});
        while (!holder.canReadLine())
            QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine(), QByteArray("locked\n"));
        QVERIFY(!lock.tryAcquire());
        QVERIFY(lock.heldElsewhere());

        holder.kill();
        QVERIFY(holder.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(lock.tryAcquire(), 5000);
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

        // Without a usable runtime folder: the temporary folder, with the user id in the name.
        for (const QByteArray& value : {QByteArray(), QByteArray("relative/dir"), QByteArray("/zm/no/such/dir")}) {
            ScopedEnv runtime("XDG_RUNTIME_DIR", value);
            QCOMPARE(Platform::runtimeDir(), QDir::cleanPath(QDir::tempPath()));
            QCOMPARE(Platform::runtimePath("K", ".sock"),
                     QDir::cleanPath(QDir::tempPath()) + QString("/K-%1.sock").arg(::getuid()));
        }
    }
};

ZM_TEST_MAIN_CORE(TestSingleInstance)
#include "tst_singleinstance.moc"
