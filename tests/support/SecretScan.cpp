#include "SecretScan.h"

#include "Simulator.h"
#include "TestFiles.h"

#include "net/zip/ZipUtil.h"

#include <QDirIterator>
#include <QJsonObject>
#include <QTemporaryDir>

namespace ZmTest {

QStringList filesUnder(const QString& folder)
{
    QStringList texts;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        texts << path + QStringLiteral(": ") + QString::fromUtf8(readFile(path));
    }
    return texts;
}

QStringList uploadedArchiveFiles(Simulator& simulator)
{
    QStringList texts;
    for (const QJsonValue& value : simulator.ossObjects()) {
        const QString bucket = value.toObject().value(QStringLiteral("bucket")).toString();
        const QString key = value.toObject().value(QStringLiteral("key")).toString();
        QTemporaryDir unpacked;
        const QString archive = unpacked.filePath(QStringLiteral("archive.zip"));
        const QString folder = unpacked.filePath(QStringLiteral("files"));
        int error = 0;
        if (!writeFile(archive, simulator.ossObject(bucket, key)) ||
            ZipUtil::extractDir(archive, folder, &error).isEmpty()) {
            texts << bucket + '/' + key + QStringLiteral(": not an archive that unpacks");
            continue;
        }
        // Each file named by its path inside the archive.
        for (const QString& text : filesUnder(folder))
            texts << bucket + '/' + key + QStringLiteral(" ") + text.mid(folder.size() + 1);
    }
    return texts;
}

QString firstSecretIn(const QStringList& texts, const QStringList& secrets)
{
    for (const QString& secret : secrets) {
        if (secret.size() < 8)
            return QStringLiteral("the secret \"%1\" is too short to look for").arg(secret);
        for (const QString& text : texts) {
            const int at = text.indexOf(secret);
            if (at >= 0)
                return secret + QStringLiteral(" in ") + text.left(text.indexOf(QStringLiteral(": "))) +
                       QStringLiteral(": ...") + text.mid(qMax(0, at - 120), 120 + secret.size() + 40);
        }
    }
    return QString();
}

} // namespace ZmTest
