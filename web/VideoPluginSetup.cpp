#include "web/VideoPluginSetup.h"

#include "platform/ProgramPath.h"
#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

void logSharedFrameLine(ShareLogLevel level, const std::string& message)
{
    if (level == ShareLogLevel::Error)
        qCritical().noquote() << "SharedFrames" << QString::fromStdString(message);
    else
        qWarning().noquote() << "SharedFrames" << QString::fromStdString(message);
}

} // namespace

QStringList videoPluginSwitches(const QString& programDir)
{
    const QString plugin = QDir(programDir).absoluteFilePath(QString::fromLatin1(kVideoPluginFileName));
    return {QStringLiteral("--register-pepper-plugins=%1;%2").arg(plugin, QString::fromLatin1(kVideoPluginMimeType)),
            QStringLiteral("--ppapi-plugin-launcher=%1").arg(QString::fromLatin1(kVideoPluginLauncher)),
            QStringLiteral("--disable-seccomp-filter-sandbox")};
}

void addVideoPluginSwitches(QStringList& arguments, const QString& programDir)
{
    const QString folder = programDir.isEmpty() ? QFileInfo(Platform::programFilePath()).absolutePath() : programDir;
    if (!QFileInfo::exists(QDir(folder).absoluteFilePath(QString::fromLatin1(kVideoPluginFileName))))
        qWarning().noquote() << "addVideoPluginSwitches no" << kVideoPluginFileName << "in" << folder
                             << "- the small class shows no videos";
    const QStringList switches = videoPluginSwitches(folder);
    arguments << switches;
    constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
    if (qEnvironmentVariableIsSet(kFlagsVariable)) {
        // The browser splits this variable at blanks.
        if (folder.contains(' '))
            qWarning().noquote() << "addVideoPluginSwitches the program folder" << folder << "has a blank; with"
                                 << kFlagsVariable << "set the browser will not find the plug-in";
        qputenv(kFlagsVariable, qgetenv(kFlagsVariable) + ' ' + switches.join(' ').toLocal8Bit());
    }
}

void prepareSharedFrames()
{
    setShareLogHandler(&logSharedFrameLine);
    const int removed = removeStaleShareObjects();
    if (removed > 0)
        qInfo() << "prepareSharedFrames removed" << removed << "shared frame objects of an earlier run";
}
