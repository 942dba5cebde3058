#pragma once

#include <QString>

// Installs a downloaded web-resource archive as the offline web resources: the archive's MD5 is checked when
// one is given, the archive is unpacked into a sibling folder, and only a complete unpack replaces the
// installed folder. A failure at any step leaves the installed resources as they were.
namespace WebResourceUpdate {

// Lower-case hexadecimal MD5 of the file; empty when it can't be read.
QString fileMd5Hex(const QString& path);

bool install(const QString& archive, const QString& expectedMd5, const QString& resourceDir);

} // namespace WebResourceUpdate
