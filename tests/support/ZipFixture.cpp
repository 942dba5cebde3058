#include "ZipFixture.h"

#include "Simulator.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
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

bool offerLessonPackage(Simulator& simulator, const QString& lessonId, const QByteArray& package)
{
    const QString file = QStringLiteral("lessons/%1.zip").arg(lessonId);
    if (simulator.putFile(file, package).isEmpty())
        return false;
    const QJsonObject reply{{"zip_url", simulator.url("/updates/get/" + file)},
                            {"md5", QString(QCryptographicHash::hash(package, QCryptographicHash::Md5).toHex())},
                            {"size", QString::number(package.size())},
                            {"code", "0"}};
    int status = 0;
    simulator.control("POST", QStringLiteral("/_control/updates/course_zip"), QJsonDocument(reply).toJson(), &status);
    return status == 200;
}

} // namespace ZmTest
