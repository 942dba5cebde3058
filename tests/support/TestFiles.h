#pragma once

#include <QByteArray>
#include <QString>

namespace ZmTest {

// Writes data as the whole file, creating its folder when missing; true when everything was written.
bool writeFile(const QString& path, const QByteArray& data);

// The file's bytes; empty when it can't be read.
QByteArray readFile(const QString& path);

} // namespace ZmTest
