// The video plug-in inside the real embedded browser: registered the way the program registers it, loaded by a
// page as an unprivileged user with the browser's sandbox on, it paints the frames written into its sections.
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr char kChild[] = "webengine_plugin_page";
constexpr char kPlugin[] = "libZmVideoPlugin.so";

bool copyExecutable(const QString& from, const QString& to)
{
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                                  QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

bool giveTo(const QString& path, uid_t uid, gid_t gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

} // namespace

class TestVideoPluginWebEngine : public QObject
{
    Q_OBJECT

private slots:
    void paintsFramesAsUnprivilegedUser()
    {
        // Everything the unprivileged user runs and reads lives in a folder it can reach.
        QTemporaryDir folder(QDir::tempPath() + "/zmplugin-XXXXXX");
        QVERIFY(folder.isValid());
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                 QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        const QString child = folder.filePath(kChild);
        QVERIFY(copyExecutable(QCoreApplication::applicationDirPath() + '/' + kChild, child));
        QVERIFY(copyExecutable(ZmTest::programDir() + '/' + kPlugin, folder.filePath(kPlugin)));
        const QString home = folder.filePath("home");
        QVERIFY(QDir().mkpath(home + "/runtime"));
        QFile::setPermissions(home + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcessEnvironment env;
        const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"PATH", "DISPLAY", "LANG", "QT_QUICK_BACKEND", "QTWEBENGINE_CHROMIUM_FLAGS"}) {
            if (own.contains(name))
                env.insert(name, own.value(name));
        }
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", home + "/runtime");
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.insert("XDG_CACHE_HOME", home + "/.cache");
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        // Deliberately without QTWEBENGINE_DISABLE_SANDBOX: the browser keeps its sandbox.

        QString program = child;
        QStringList arguments{folder.path(), home + "/painted.png"};
        uid_t expectedUser = ::geteuid();
        if (::geteuid() == 0) {
            // The browser refuses its sandbox to root: drop to the system's unprivileged user.
            const passwd* nobody = ::getpwnam("nobody");
            QVERIFY2(nobody, "no user \"nobody\" to run the browser as");
            expectedUser = nobody->pw_uid;
            if (own.contains("XAUTHORITY")) {
                const QString cookie = home + "/.Xauthority";
                QVERIFY(QFile::copy(own.value("XAUTHORITY"), cookie));
                env.insert("XAUTHORITY", cookie);
            }
            QDirIterator everything(home, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                    QDirIterator::Subdirectories);
            QVERIFY(giveTo(home, nobody->pw_uid, nobody->pw_gid));
            while (everything.hasNext())
                QVERIFY(giveTo(everything.next(), nobody->pw_uid, nobody->pw_gid));
            program = QStringLiteral("setpriv");
            arguments = QStringList{QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                    QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                                    "--clear-groups",
                                    "--inh-caps=-all",
                                    "--",
                                    child} +
                        arguments;
        } else if (own.contains("XAUTHORITY")) {
            env.insert("XAUTHORITY", own.value("XAUTHORITY"));
        }

        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::SeparateChannels);
        run.setWorkingDirectory(home);
        run.start(program, arguments);
        QVERIFY2(run.waitForStarted(ZmTest::kStartWaitMs), qPrintable(run.errorString()));
        const bool finished = run.waitForFinished(4 * ZmTest::kWaitMs);
        if (!finished) {
            run.kill();
            run.waitForFinished(5000);
        }
        const QString output = QString::fromLocal8Bit(run.readAllStandardOutput());
        const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
        const QString report = output + "\n--- stderr (end) ---\n" + errors.right(4000);
        if (QFile::exists(home + "/painted.png")) {
            QFile::remove(ZmTest::screenshotPath("videoplugin_webengine"));
            QDir().mkpath(ZmTest::screenshotDir());
            QFile::copy(home + "/painted.png", ZmTest::screenshotPath("videoplugin_webengine"));
        }
        QVERIFY2(finished, qPrintable(report));
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(report));
        QVERIFY2(output.contains(QStringLiteral("user %1\n").arg(expectedUser)), qPrintable(report));
        QVERIFY2(output.contains("painted red and blue") && output.contains("painted green and blue"),
                 qPrintable(report));
        QVERIFY2(!errors.contains("Sandboxing disabled") && !errors.contains("No usable sandbox"), qPrintable(report));
    }
};

ZM_TEST_MAIN_CORE(TestVideoPluginWebEngine)
#include "tst_videoplugin_webengine.moc"
