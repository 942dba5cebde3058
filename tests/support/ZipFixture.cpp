#include "ZipFixture.h"

#include "TestFiles.h"

#include <QTemporaryDir>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

#include <zlib.h>

namespace ZmTest {

bool writeZip(const QString& path, const QList<ZipEntry>& entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const ZipEntry& entry : entries) {
        QuaZipNewInfo info(entry.name);
        info.externalAttr = entry.unixMode << 16;
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, info, nullptr, 0, entry.stored ? 0 : Z_DEFLATED))
            return false;
        file.write(entry.data);
        file.close();
        if (file.getZipError() != ZIP_OK)
            return false;
    }
    zip.close();
    return zip.getZipError() == ZIP_OK;
}

QByteArray zipBytes(const QList<ZipEntry>& entries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fixture.zip"));
    if (!dir.isValid() || !writeZip(path, entries))
        return {};
    return readFile(path);
}

} // namespace ZmTest
