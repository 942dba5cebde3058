#pragma once

#include "WaitUntil.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

namespace ZmTest {

class Simulator;

// One start of the real program (ZmQuillo_Desktop of the program folder) with its own home folder, watched through
// its log files and standard error. The program is killed when the object goes while it still runs.
class ProgramRun
{
public:
    // How long a wait for the program's start, its log or its end takes at most unless told otherwise: as long as
    // a helper process may take to start on a loaded machine.
    static constexpr int kWaitMs = kStartWaitMs;

    // The program under test.
    static QString programPath();
    // The options that point every service address of the program at the simulator, as scripts/run gives them.
    static QStringList serviceArguments(const Simulator& simulator);

    // home: a home folder to share with an earlier run; empty for a new one.
    explicit ProgramRun(const QString& runtimeDir, const QString& home = QString());
    ~ProgramRun();

    QString home() const { return m_home; }
    QString dataDir() const { return m_home + QStringLiteral("/.config/Zmhub/ZmQuillo_Desktop"); }
    QProcess& process() { return m_process; }

    void setEnv(const QString& name, const QString& value) { m_extraEnv.insert(name, value); }
    // Leaves name out of the program's environment.
    void unsetEnv(const QString& name) { m_unsetEnv.append(name); }

    // Puts the stand-in for the person at the program (tests/support/standin) into the run: it clicks these
    // buttons (object names) in their order, each once, when one of that name shows.
    void standInClicks(const QStringList& buttons);

    // The user settings file, written before the start.
    void writeUserSetting(const QString& key, const QVariant& value);
    QVariant readUserSetting(const QString& key) const;

    bool start(const QStringList& arguments);

    // What the program wrote to standard error so far.
    QString errorOutput();
    // What the program wrote to standard output so far.
    QString standardOutput();
    // Everything the program logged: standard error (before its log handler) and its log files.
    QString log();
    // What the program's log files hold.
    QString fileLog() const;
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    // Waits until the logs hold needle count times (runs sharing a home share their log folder).
    bool waitForLog(const QString& needle, int count = 1, int timeoutMs = kWaitMs);
    // Waits for the program to end by itself; its exit code, or -1000 when it did not end in time.
    int waitForExit(int timeoutMs = kWaitMs);
    void kill();

private:
    // Takes in what the program wrote to its two channels since the last call.
    void readOutput();

    QTemporaryDir m_ownHome;
    QString m_home;
    QString m_runtimeDir;
    QProcess m_process;
    QString m_stderr;
    QString m_stdout;
    QMap<QString, QString> m_extraEnv;
    QStringList m_unsetEnv;
};

} // namespace ZmTest
