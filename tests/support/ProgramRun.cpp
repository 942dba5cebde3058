#include "ProgramRun.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace ZmTest {

QString ProgramRun::programPath()
{
    return programDir() + QStringLiteral("/ZmQuillo_Desktop");
}

QStringList ProgramRun::serviceArguments(const Simulator& simulator)
{
    const QString base = simulator.baseUrl();
    return {"--urlapi=" + base, "--urlrestful=" + base, "--urlmain=" + base + "/pages/main",
            "--urlwb=" + base + "/pages/whiteboard", "--urlpwb=" + base + "/pages/whiteboard/playback"};
}

ProgramRun::ProgramRun(const QString& runtimeDir, const QString& home)
    : m_ownHome(QDir::tempPath() + QStringLiteral("/zmstart-XXXXXX"))
    , m_home(home.isEmpty() ? m_ownHome.path() : home)
    , m_runtimeDir(runtimeDir)
{
}

ProgramRun::~ProgramRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void ProgramRun::standInClicks(const QStringList& buttons)
{
    setEnv(QStringLiteral("QT_PLUGIN_PATH"), buildDir() + QStringLiteral("/tests/plugins"));
    setEnv(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("zmstandin:") + buttons.join(QLatin1Char(';')));
}

void ProgramRun::writeUserSetting(const QString& key, const QVariant& value)
{
    QDir().mkpath(dataDir());
    QSettings settings(dataDir() + QStringLiteral("/viDaviro.ini"), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setValue(key, value);
}

QVariant ProgramRun::readUserSetting(const QString& key) const
{
    QSettings settings(dataDir() + QStringLiteral("/viDaviro.ini"), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(key);
}

bool ProgramRun::start(const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString home = m_home;
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    env.insert("XDG_CACHE_HOME", home + "/.cache");
    env.insert("XDG_RUNTIME_DIR", m_runtimeDir);
    env.remove("LC_ALL");
    env.remove("LC_MESSAGES");
    env.remove("LANGUAGE");
    env.insert("LANG", "C.UTF-8");
    env.insert("ZM_MESSAGE_BOX_AUTOCLOSE_MS", "300");
    env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (env.value("DISPLAY").isEmpty())
        env.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto it = m_extraEnv.cbegin(); it != m_extraEnv.cend(); ++it)
        env.insert(it.key(), it.value());
    for (const QString& name : m_unsetEnv)
        env.remove(name);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(programPath(), arguments);
    if (m_process.waitForStarted(kWaitMs))
        return true;
    qWarning().noquote() << "ProgramRun::start" << programPath() << "did not start:" << m_process.errorString();
    return false;
}

QString ProgramRun::errorOutput()
{
    readOutput();
    return m_stderr;
}

QString ProgramRun::standardOutput()
{
    readOutput();
    return m_stdout;
}

void ProgramRun::readOutput()
{
    m_stderr += QString::fromUtf8(m_process.readAllStandardError());
    m_stdout += QString::fromUtf8(m_process.readAllStandardOutput());
}

QString ProgramRun::log()
{
    return errorOutput() + fileLog();
}

QString ProgramRun::fileLog() const
{
    QString text;
    QDirIterator files(dataDir() + QStringLiteral("/logs"), {"*_all.log"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

bool ProgramRun::waitForLog(const QString& needle, int count, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (log().count(needle) < count) {
        if (waited.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning) {
            if (log().count(needle) >= count)
                return true;
            qWarning().noquote() << "waitForLog did not see" << needle << "- the log so far:\n" << log().right(6000);
            return false;
        }
        QTest::qWait(50);
    }
    return true;
}

int ProgramRun::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs))
        return -1000;
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1001;
}

void ProgramRun::kill()
{
    m_process.kill();
    m_process.waitForFinished(10000);
}

} // namespace ZmTest
