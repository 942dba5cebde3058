#include "net/updates/WebResourceUpdate.h"

#include "app/ConfigManager.h"
#include "app/DirUtil.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtDebug>

namespace WebResourceUpdate {

QString fileMd5Hex(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

bool install(const QString& archive, const QString& expectedMd5, const QString& resourceDir)
{
    if (resourceDir.isEmpty())
        return false;
    const QString expected = expectedMd5.trimmed();
    if (!expected.isEmpty()) {
        const QString actual = fileMd5Hex(archive);
        if (actual.compare(expected, Qt::CaseInsensitive) != 0) {
            qWarning().noquote() << "WebResourceUpdate::install MD5 of" << archive << "is" << actual << "expected"
                                 << expected;
            return false;
        }
    }

    const QString unpacking = resourceDir + QStringLiteral(".update");
    const QString previous = resourceDir + QStringLiteral(".replaced");
    if (!ConfigManager::extractZipToFolder(archive, unpacking)) {
        qWarning().noquote() << "WebResourceUpdate::install cannot unpack" << archive;
        removeDirRecursively(unpacking);
        return false;
    }
    removeDirRecursively(previous);
    if (dirExists(resourceDir) && !QDir().rename(resourceDir, previous)) {
        qWarning().noquote() << "WebResourceUpdate::install cannot move" << resourceDir << "aside";
        removeDirRecursively(unpacking);
        return false;
    }
    if (!QDir().rename(unpacking, resourceDir)) {
        qWarning().noquote() << "WebResourceUpdate::install cannot move" << unpacking << "to" << resourceDir;
        QDir().rename(previous, resourceDir);
        removeDirRecursively(unpacking);
        return false;
    }
    removeDirRecursively(previous);
    qInfo().noquote() << "WebResourceUpdate::install installed" << archive << "into" << resourceDir;
    return true;
}

} // namespace WebResourceUpdate
