#pragma once

#include <QString>
#include <QStringList>

// Settings that every libvlc instance of the program shares: where libvlc finds its plug-ins and the arguments an
// instance is made with.
namespace VlcCommon {

// Makes libvlc load its plug-ins from the folder (VLC_PLUGIN_PATH), but only when the folder holds libvlc
// plug-ins; false otherwise, and nothing changes.
bool setPluginPath(const QString& path);

// The arguments for a new instance: no interface, no title over the video, no screen-saver handling (the program
// keeps the display awake itself), no Xlib (the video surface is reached through xcb, which is thread-safe),
// then the arguments tests add.
QStringList args();

// Tests only: arguments appended to args() (a silent audio output, for instance).
void setArgsForTesting(const QStringList& extra);

} // namespace VlcCommon
