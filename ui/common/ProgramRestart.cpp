#include "ui/common/ProgramRestart.h"

#include "app/CommandLine.h"

#include <QApplication>
#include <QDebug>
#include <QProcess>

#include <cstring>

namespace ProgramRestart {

namespace {

Launcher& launcher()
{
    static Launcher installed;
    return installed;
}

bool startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool s_closingWindows = false;

} // namespace

bool restart()
{
    const QString program = QCoreApplication::applicationFilePath();
    const QStringList arguments =
        QStringList{QString::fromLatin1(kRestartedOption)} + carriedOptions(QCoreApplication::arguments());
    const Launcher start = launcher() ? launcher() : Launcher(&startDetached);
    if (!start(program, arguments)) {
        qCritical().noquote() << "ProgramRestart::restart cannot start" << program;
        return false;
    }
    qInfo().noquote() << "ProgramRestart::restart started" << program << arguments.join(' ') << "- closing all windows";
    s_closingWindows = true;
    QApplication::closeAllWindows();
    s_closingWindows = false;
    return true;
}

bool isClosingWindows()
{
    return s_closingWindows;
}

QStringList carriedOptions(const QStringList& arguments)
{
    static const char* const kCarried[] = {"--web_mode", "--urlmain", "--urlapi",       "--urlrestful",
                                           "--urlwb",    "--urlpwb",  "--rtc_scenario", "--rtc_devices"};
    const QHash<QString, QString> options = readOptionTable(normalizeArguments(arguments.size(), arguments));
    QStringList carried;
    for (const char* name : kCarried) {
        const auto found = options.constFind(QString::fromLatin1(name));
        // The new copy decodes its options again: a "%" stays a "%".
        if (found != options.constEnd())
            carried.append(QString::fromLatin1(name) + '=' + QString(*found).replace('%', QLatin1String("%25")));
    }
    return carried;
}

bool isRestartedStart(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && std::strcmp(argv[i], kRestartedOption) == 0)
            return true;
    }
    return false;
}

void setLauncher(Launcher replacement)
{
    launcher() = std::move(replacement);
}

} // namespace ProgramRestart
