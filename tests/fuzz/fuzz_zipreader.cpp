// The zip reader over arbitrary bytes: listing and extracting must fail cleanly or stay inside the target.
#include "app/DirUtil.h"
#include "net/zip/ZipUtil.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir work;
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));

    QBuffer listed;
    listed.setData(bytes);
    ZipUtil::getFileList(&listed);

    const QString target = work.filePath("root/target");
    QBuffer extracted;
    extracted.setData(bytes);
    const QStringList written = ZipUtil::extractDir(&extracted, target);
    for (const QString& path : written) {
        if (!path.startsWith(target + '/'))
            std::abort();
    }
    // Nothing but the target below root, and nothing left in the target after a failure.
    const QStringList besideTarget =
        QDir(work.filePath("root")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (besideTarget.size() > 1 || (besideTarget.size() == 1 && besideTarget.first() != "target"))
        std::abort();
    if (written.isEmpty() &&
        QDirIterator(target, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories).hasNext())
        std::abort();
    removeDirRecursively(work.filePath("root"));
    return 0;
}
