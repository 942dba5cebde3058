#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ZmTest {

// One entry of a test archive.
struct ZipEntry
{
    QString name; // as given, unchecked: "../x" and "/abs" make hostile archives
    QByteArray data;
    quint32 unixMode = 0100644; // regular file; 0120777 makes a symbolic link to data
    bool stored = false;        // without compression
};

// Writes an archive with exactly these entries, in this order, with QuaZip itself; false on any error.
bool writeZip(const QString& path, const QList<ZipEntry>& entries);

// The same archive in memory; empty on any error.
QByteArray zipBytes(const QList<ZipEntry>& entries);

class Simulator;

// Makes the simulator serve package as the offline package of lesson lessonId and answer the course package call
// with its address, MD5 and size; false on failure.
bool offerLessonPackage(Simulator& simulator, const QString& lessonId, const QByteArray& package);

} // namespace ZmTest
