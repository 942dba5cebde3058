#include "net/zip/ZipUtil.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kBlockSize = 4096;

// Unix file type bits as zip archives keep them in the high half of the external attributes.
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixSymLink = 0120000;

// What an extraction writes, so that a failure can take it back.
struct Written
{
    QStringList files;
    QStringList folders; // in creation order
};

int nonZero(int code, int fallback)
{
    return code != 0 ? code : fallback;
}

bool isSymLinkEntry(const QuaZipFileInfo64& info)
{
    return ((info.externalAttr >> 16) & kUnixTypeMask) == kUnixSymLink;
}

// The entry name as a relative path with "/" separators, or an empty text when it would lead outside the
// folder it is extracted into. Backslashes count as separators, as archives made on Windows use them.
QString safeRelativePath(const QString& entryName)
{
    QString name = entryName;
    name.replace('\\', '/');
    if (name.isEmpty() || name.startsWith('/') || name.contains(QChar(0)))
        return QString();
    if (name.size() >= 2 && name.at(1) == ':' && name.at(0).isLetter())
        return QString();
    const QStringList parts = name.split('/');
    for (const QString& part : parts) {
        if (part == "..")
            return QString();
    }
    return name;
}

// Creates the folders of relativeFolder below root one level at a time, refusing to pass through a
// symbolic link or a file. Folders it creates are added to written.
bool makeFoldersInside(const QString& root, const QString& relativeFolder, Written& written)
{
    QString path = root;
    const QStringList parts = relativeFolder.split('/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (part == ".")
            continue;
        path += '/' + part;
        const QFileInfo info(path);
        if (info.isSymLink())
            return false;
        if (info.exists()) {
            if (!info.isDir())
                return false;
            continue;
        }
        if (!QDir().mkdir(path))
            return false;
        written.folders.append(path);
    }
    return true;
}

void rollBack(const Written& written)
{
    for (const QString& file : written.files)
        QFile::remove(file);
    for (auto folder = written.folders.crbegin(); folder != written.folders.crend(); ++folder)
        QDir().rmdir(*folder);
}

QFile::Permissions withOwnerAccess(QFile::Permissions permissions, bool folder)
{
    if (permissions == 0)
        return permissions;
    permissions |= QFile::ReadOwner | QFile::WriteOwner;
    if (folder)
        permissions |= QFile::ExeOwner;
    return permissions;
}

struct PlannedEntry
{
    QString relativePath;
    bool folder = false;
};

// Reads every entry's information and checks it; false (with the error) at the first unsafe entry.
bool planExtraction(QuaZip& zip, QList<PlannedEntry>& plan, int& error)
{
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) {
            error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
            return false;
        }
        PlannedEntry entry;
        entry.relativePath = safeRelativePath(info.name);
        if (entry.relativePath.isEmpty() || isSymLinkEntry(info)) {
            error = UNZ_BADZIPFILE;
            return false;
        }
        entry.folder = entry.relativePath.endsWith('/');
        plan.append(entry);
    }
    if (zip.getZipError() != UNZ_OK) {
        error = zip.getZipError();
        return false;
    }
    if (plan.isEmpty()) {
        error = UNZ_END_OF_LIST_OF_FILE;
        return false;
    }
    return true;
}

// Writes one planned (current) entry below root.
bool writeEntry(QuaZip& zip, const QString& root, const PlannedEntry& entry, Written& written)
{
    const QString destination = root + '/' + entry.relativePath;
    const int lastSlash = entry.relativePath.lastIndexOf('/');
    const QString relativeFolder = lastSlash < 0 ? QString() : entry.relativePath.left(lastSlash);
    if (!makeFoldersInside(root, relativeFolder, written))
        return false;
    if (!entry.folder) {
        const QFileInfo existing(destination);
        // Replace a link rather than write through it.
        if (existing.isSymLink() && !QFile::remove(destination))
            return false;
    }
    if (!ZipUtil::extractFile(&zip, QString(), destination))
        return false;
    if (!entry.folder)
        written.files.append(destination);
    return true;
}

QStringList extractAll(QuaZip& zip, const QString& folder, int& error)
{
    error = UNZ_OK;
    if (!zip.open(QuaZip::mdUnzip)) {
        error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
        return QStringList();
    }
    QList<PlannedEntry> plan;
    if (!planExtraction(zip, plan, error)) {
        zip.close();
        return QStringList();
    }

    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    Written written;
    QStringList extracted;
    if (!QFileInfo(root).isDir()) {
        if (!QDir().mkpath(root)) {
            zip.close();
            error = UNZ_ERRNO;
            return QStringList();
        }
        written.folders.append(root);
    }
    int index = 0;
    for (bool more = zip.goToFirstFile(); more && index < plan.size(); more = zip.goToNextFile(), ++index) {
        if (!writeEntry(zip, root, plan.at(index), written)) {
            error = nonZero(zip.getZipError(), UNZ_ERRNO);
            zip.close();
            rollBack(written);
            return QStringList();
        }
        extracted.append(root + '/' + plan.at(index).relativePath);
    }
    zip.close();
    if (index != plan.size() || zip.getZipError() != UNZ_OK) {
        error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
        rollBack(written);
        return QStringList();
    }
    return extracted;
}

// Opens the archive, extracts the named entries (or every entry's own name) and closes it.
QStringList extractNamed(QuaZip& zip, const QStringList& entryNames, const QString& folder)
{
    if (!zip.open(QuaZip::mdUnzip))
        return QStringList();
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    Written written;
    QStringList extracted;
    bool ok = QFileInfo(root).isDir() || QDir().mkpath(root);
    for (int i = 0; ok && i < entryNames.size(); ++i) {
        PlannedEntry entry;
        entry.relativePath = safeRelativePath(entryNames.at(i));
        entry.folder = entry.relativePath.endsWith('/');
        ok = !entry.relativePath.isEmpty() && zip.setCurrentFile(entryNames.at(i)) &&
             writeEntry(zip, root, entry, written);
        if (ok)
            extracted.append(root + '/' + entry.relativePath);
    }
    zip.close();
    if (!ok || zip.getZipError() != UNZ_OK) {
        rollBack(written);
        return QStringList();
    }
    return extracted;
}

QString extractOne(QuaZip& zip, const QString& entryName, const QString& destination)
{
    QString target = destination;
    if (target.isEmpty()) {
        target = safeRelativePath(entryName);
        if (target.isEmpty())
            return QString();
    }
    if (!zip.open(QuaZip::mdUnzip))
        return QString();
    const QString absolute = QDir::cleanPath(QFileInfo(target).absoluteFilePath()) + (target.endsWith('/') ? "/" : "");
    if (!ZipUtil::extractFile(&zip, entryName, absolute)) {
        zip.close();
        return QString();
    }
    zip.close();
    if (zip.getZipError() != UNZ_OK) {
        if (!absolute.endsWith('/'))
            QFile::remove(absolute);
        return QString();
    }
    return absolute;
}

QStringList listEntries(QuaZip& zip)
{
    if (!zip.open(QuaZip::mdUnzip))
        return QStringList();
    QStringList names = zip.getFileNameList();
    if (zip.getZipError() != UNZ_OK)
        names.clear();
    zip.close();
    if (zip.getZipError() != UNZ_OK)
        names.clear();
    return names;
}

bool isOpenForWriting(const QuaZip* zip)
{
    if (!zip)
        return false;
    const QuaZip::Mode mode = zip->getMode();
    return mode == QuaZip::mdCreate || mode == QuaZip::mdAppend || mode == QuaZip::mdAdd;
}

// Creates the archive, lets fill add its entries and closes it; the archive is removed on any failure.
template <typename Fill> bool createArchive(const QString& archive, Fill fill)
{
    if (!QDir().mkpath(QFileInfo(archive).absolutePath()))
        return false;
    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdCreate)) {
        QFile::remove(archive);
        return false;
    }
    const bool filled = fill(zip);
    zip.close();
    if (!filled || zip.getZipError() != ZIP_OK) {
        QFile::remove(archive);
        return false;
    }
    return true;
}

} // namespace

QStringList ZipUtil::extractDir(const QString& archive, const QString& folder, int* error)
{
    QuaZip zip(archive);
    int code = UNZ_OK;
    const QStringList extracted = extractAll(zip, folder, code);
    if (error)
        *error = code;
    return extracted;
}

QStringList ZipUtil::extractDir(QuaZip& zip, const QString& folder)
{
    int code = UNZ_OK;
    return extractAll(zip, folder, code);
}

QStringList ZipUtil::extractDir(QIODevice* device, const QString& folder)
{
    if (!device)
        return QStringList();
    QuaZip zip(device);
    return extractDir(zip, folder);
}

bool ZipUtil::extractFile(QuaZip* zip, const QString& entryName, const QString& destination)
{
    if (!zip || zip->getMode() != QuaZip::mdUnzip || destination.isEmpty())
        return false;
    if (!entryName.isEmpty() && !zip->setCurrentFile(entryName))
        return false;

    QuaZipFileInfo64 info;
    if (!zip->getCurrentFileInfo(&info) || isSymLinkEntry(info))
        return false;

    QuaZipFile in(zip);
    if (!in.open(QIODevice::ReadOnly) || in.getZipError() != UNZ_OK)
        return false;

    const bool folderEntry = destination.endsWith('/');
    const QString folder = folderEntry ? destination : QFileInfo(destination).absolutePath();
    if (!QDir().mkpath(folder))
        return false;

    const QFile::Permissions permissions = withOwnerAccess(info.getPermissions(), folderEntry);

    if (folderEntry && QFileInfo(destination).isDir()) {
        if (permissions != 0)
            QFile::setPermissions(destination, permissions);
        return true;
    }

    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!copyData(in, out) || in.getZipError() != UNZ_OK) {
        out.close();
        out.remove();
        return false;
    }
    out.close();
    if (out.error() != QFileDevice::NoError) {
        out.remove();
        return false;
    }
    in.close();
    if (in.getZipError() != UNZ_OK) {
        out.remove();
        return false;
    }
    if (permissions != 0)
        out.setPermissions(permissions);
    return true;
}

QString ZipUtil::extractFile(QuaZip& zip, const QString& entryName, const QString& destination)
{
    return extractOne(zip, entryName, destination);
}

QString ZipUtil::extractFile(const QString& archive, const QString& entryName, const QString& destination)
{
    QuaZip zip(archive);
    return extractOne(zip, entryName, destination);
}

QString ZipUtil::extractFile(QIODevice* device, const QString& entryName, const QString& destination)
{
    if (!device)
        return QString();
    QuaZip zip(device);
    return extractOne(zip, entryName, destination);
}

QStringList ZipUtil::extractFiles(QuaZip& zip, const QStringList& entryNames, const QString& folder)
{
    return extractNamed(zip, entryNames, folder);
}

QStringList ZipUtil::extractFiles(const QString& archive, const QStringList& entryNames, const QString& folder)
{
    QuaZip zip(archive);
    return extractNamed(zip, entryNames, folder);
}

QStringList ZipUtil::extractFiles(QIODevice* device, const QStringList& entryNames, const QString& folder)
{
    if (!device)
        return QStringList();
    QuaZip zip(device);
    return extractNamed(zip, entryNames, folder);
}

QStringList ZipUtil::getFileList(const QString& archive)
{
    QuaZip zip(QFileInfo(archive).absoluteFilePath());
    return listEntries(zip);
}

QStringList ZipUtil::getFileList(QIODevice* device)
{
    if (!device)
        return QStringList();
    QuaZip zip(device);
    return listEntries(zip);
}

bool ZipUtil::compressFile(QuaZip* zip, const QString& file, const QString& nameInArchive)
{
    if (!isOpenForWriting(zip))
        return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QuaZipNewInfo info(nameInArchive, file);
    // The entry holds the file's content, so it is a plain file even when file is a link.
    info.setPermissions(QFileInfo(file).permissions());
    QuaZipFile out(zip);
    if (!out.open(QIODevice::WriteOnly, info))
        return false;
    const bool copied = copyData(in, out);
    out.close();
    return copied && out.getZipError() == ZIP_OK;
}

bool ZipUtil::compressSubDir(QuaZip* zip, const QString& folder, const QString& origin, bool recursive,
                             QDir::Filters filters)
{
    if (!isOpenForWriting(zip))
        return false;
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    const QDir originDir(origin);
    if (dir.absolutePath() != originDir.absolutePath()) {
        QuaZipFile entry(zip);
        QuaZipNewInfo info(originDir.relativeFilePath(dir.absolutePath()) + '/', dir.absolutePath());
        info.setPermissions(QFileInfo(dir.absolutePath()).permissions());
        if (!entry.open(QIODevice::WriteOnly, info, nullptr, 0, 0))
            return false;
        entry.close();
        if (entry.getZipError() != ZIP_OK)
            return false;
    }

    if (recursive) {
        const QFileInfoList folders = dir.entryInfoList(QDir::AllDirs | QDir::NoDotAndDotDot | filters);
        for (const QFileInfo& sub : folders) {
            if (sub.isSymLink())
                continue;
            if (!compressSubDir(zip, sub.absoluteFilePath(), origin, recursive, filters))
                return false;
        }
    }

    const QString archivePath = QFileInfo(zip->getZipName()).absoluteFilePath();
    const QFileInfoList files = dir.entryInfoList(QDir::Files | filters);
    for (const QFileInfo& file : files) {
        if (!file.isFile() || file.absoluteFilePath() == archivePath)
            continue;
        if (!compressFile(zip, file.absoluteFilePath(), originDir.relativeFilePath(file.absoluteFilePath())))
            return false;
    }
    return true;
}

bool ZipUtil::compressFile(const QString& archive, const QString& file)
{
    return createArchive(archive, [&](QuaZip& zip) { return compressFile(&zip, file, QFileInfo(file).fileName()); });
}

bool ZipUtil::compressFiles(const QString& archive, const QStringList& files)
{
    return createArchive(archive, [&](QuaZip& zip) {
        for (const QString& file : files) {
            const QFileInfo info(file);
            if (!info.isFile() || !compressFile(&zip, info.absoluteFilePath(), info.fileName()))
                return false;
        }
        return true;
    });
}

bool ZipUtil::compressDir(const QString& archive, const QString& folder, bool recursive)
{
    return compressDir(archive, folder, recursive, QDir::Filters());
}

bool ZipUtil::compressDir(const QString& archive, const QString& folder, bool recursive, QDir::Filters filters)
{
    return createArchive(archive,
                         [&](QuaZip& zip) { return compressSubDir(&zip, folder, folder, recursive, filters); });
}

bool ZipUtil::copyData(QIODevice& in, QIODevice& out)
{
    char buffer[kBlockSize];
    while (!in.atEnd()) {
        const qint64 read = in.read(buffer, kBlockSize);
        if (read <= 0)
            return false;
        if (out.write(buffer, read) != read)
            return false;
    }
    return true;
}

bool ZipUtil::removeFile(const QStringList& files)
{
    for (const QString& file : files) {
        if (!QFile::remove(file))
            return false;
    }
    return true;
}
