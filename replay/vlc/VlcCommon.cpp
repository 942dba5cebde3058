#include "replay/vlc/VlcCommon.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

QStringList& testArgs()
{
    static QStringList extra;
    return extra;
}

bool holdsPlugins(const QString& path)
{
    QDirIterator plugins(path, {QStringLiteral("*_plugin.so"), QStringLiteral("*_plugin.dll")}, QDir::Files,
                         QDirIterator::Subdirectories);
    return plugins.hasNext();
}

} // namespace

bool VlcCommon::setPluginPath(const QString& path)
{
    if (path.isEmpty() || !QDir(path).exists() || !holdsPlugins(path))
        return false;
    return qputenv("VLC_PLUGIN_PATH", QFile::encodeName(QDir::toNativeSeparators(path)));
}

QStringList VlcCommon::args()
{
    QStringList list{QStringLiteral("--intf=dummy"),
                     QStringLiteral("--no-video-title-show"),
                     QStringLiteral("--no-osd"),
                     QStringLiteral("--no-stats"),
                     QStringLiteral("--no-disable-screensaver"),
                     QStringLiteral("--no-snapshot-preview"),
                     QStringLiteral("--no-xlib")};
    return list + testArgs();
}

void VlcCommon::setArgsForTesting(const QStringList& extra)
{
    testArgs() = extra;
}
