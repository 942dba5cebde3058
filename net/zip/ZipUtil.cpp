#include "net/zip/ZipUtil.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>

namespace {

constexpr int kBlockSize = 4096;
// Extraction reads in larger blocks: it is bounded by the archive, not by a caller's buffer.
constexpr int kCopyBlockSize = 65536;

// Unix file type bits as zip archives keep them in the high half of the external attributes.
constexpr quint32 kUnixTypeMask = 0170000;
constexpr quint32 kUnixSymLink = 0120000;

// The bytes an extraction may still write, counted as they are written.
struct Budget
{
    ZipExtractLimits limits;
    qint64 remaining = 0;     // min(limits.totalBytes, free space), less what was written
    bool byFreeSpace = false; // the free space, not the limit, sets remaining
    int error = UNZ_OK;       // why the last write stopped: a refused entry or a failed write
};

Budget budgetFor(const ZipExtractLimits& limits, const QString& existingFolder)
{
    Budget budget;
    budget.limits = limits;
    budget.remaining = limits.totalBytes;
    const QStorageInfo storage(existingFolder);
    const qint64 available = storage.isValid() ? storage.bytesAvailable() : -1;
    if (available >= 0 && available < budget.remaining) {
        budget.remaining = available;
        budget.byFreeSpace = true;
    }
    return budget;
}

// Charges size bytes to the budget, or records why it can't.
bool charge(Budget& budget, qint64 size)
{
    if (size > budget.remaining) {
        budget.error = budget.byFreeSpace ? UNZ_ERRNO : UNZ_BADZIPFILE;
        return false;
    }
    budget.remaining -= size;
    return true;
}

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

QFile::Permissions withOwnerAccess(QFile::Permissions permissions, bool folder)
{
    if (permissions == 0)
        return permissions;
    permissions |= QFile::ReadOwner | QFile::WriteOwner;
    if (folder)
        permissions |= QFile::ExeOwner;
    return permissions;
}

// Copies the open entry into out, counting every byte against the budget and the entry's own limit: an
// entry may unpack to limits.entryBytesBeforeRatio at any ratio, beyond that to entryRatio times its
// packed size.
bool copyCounted(QuaZipFile& in, QIODevice& out, qint64 packedSize, Budget& budget)
{
    const ZipExtractLimits& limits = budget.limits;
    const qint64 entryLimit = qMax(limits.entryBytesBeforeRatio, qMax<qint64>(packedSize, 1) * limits.entryRatio);
    qint64 written = 0;
    char buffer[kCopyBlockSize];
    while (!in.atEnd()) {
        const qint64 read = in.read(buffer, kCopyBlockSize);
        if (read <= 0)
            return false;
        written += read;
        if (written > entryLimit) {
            budget.error = UNZ_BADZIPFILE;
            return false;
        }
        if (!charge(budget, read))
            return false;
        if (out.write(buffer, read) != read) {
            budget.error = UNZ_ERRNO;
            return false;
        }
    }
    return true;
}

// The current entry of an archive open for reading into destination (a folder when it ends in "/"), whose
// folder the caller has made. A file is written under a temporary name and takes its place only when complete,
// so a failure leaves a file already there as it was.
bool extractCurrent(QuaZip& zip, const QString& destination, Budget& budget)
{
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info) || isSymLinkEntry(info))
        return false;

    QuaZipFile in(&zip);
    if (!in.open(QIODevice::ReadOnly) || in.getZipError() != UNZ_OK)
        return false;

    const bool folderEntry = destination.endsWith('/');
    const QFile::Permissions permissions = withOwnerAccess(info.getPermissions(), folderEntry);
    if (folderEntry) {
        if (permissions != 0)
            QFile::setPermissions(destination, permissions);
        return true;
    }

    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!copyCounted(in, out, qint64(info.compressedSize), budget) || in.getZipError() != UNZ_OK) {
        out.cancelWriting();
        return false;
    }
    in.close();
    if (in.getZipError() != UNZ_OK) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
    if (permissions != 0)
        QFile::setPermissions(destination, permissions);
    return true;
}

struct PlannedEntry
{
    QString entryName;    // as the archive has it
    QString relativePath; // checked, "/" separators
    bool folder = false;
};

// Reads the current entry's information and checks it; false (with the error) for an unsafe entry.
bool planCurrent(QuaZip& zip, QList<PlannedEntry>& plan, qint64& declaredBytes, int& error)
{
    QuaZipFileInfo64 info;
    if (!zip.getCurrentFileInfo(&info)) {
        error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
        return false;
    }
    PlannedEntry entry;
    entry.entryName = info.name;
    entry.relativePath = safeRelativePath(info.name);
    if (entry.relativePath.isEmpty() || isSymLinkEntry(info)) {
        error = UNZ_BADZIPFILE;
        return false;
    }
    entry.folder = entry.relativePath.endsWith('/');
    declaredBytes += qint64(qMin<quint64>(info.uncompressedSize, quint64(1) << 62));
    plan.append(entry);
    return true;
}

// Every entry of the archive, checked.
bool planAll(QuaZip& zip, QList<PlannedEntry>& plan, qint64& declaredBytes, int& error)
{
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        if (!planCurrent(zip, plan, declaredBytes, error))
            return false;
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

// The named entries, checked.
bool planNamed(QuaZip& zip, const QStringList& entryNames, QList<PlannedEntry>& plan, qint64& declaredBytes, int& error)
{
    for (const QString& name : entryNames) {
        if (safeRelativePath(name).isEmpty() || !zip.setCurrentFile(name)) {
            error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
            return false;
        }
        if (!planCurrent(zip, plan, declaredBytes, error))
            return false;
        plan.last().entryName = name;
    }
    return true;
}

// Creates the folders of relativeFolder below root one level at a time, refusing to pass through a
// symbolic link or a file. Folders it creates are appended to created.
bool makeFoldersInside(const QString& root, const QString& relativeFolder, QStringList& created)
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
        created.append(path);
    }
    return true;
}

// An extraction into a folder: the entries are written into a fresh folder beside it and moved in only once
// all of them are complete. Files they replace are moved aside first, so that a failure at any step puts
// back what the folder held.
class StagedExtraction
{
public:
    explicit StagedExtraction(const QString& folder)
        : m_root(QDir::cleanPath(QDir(folder).absolutePath()))
    {
    }

    ~StagedExtraction()
    {
        if (m_work.isEmpty())
            return;
        if (!m_keepWork)
            QDir(m_work).removeRecursively();
        else
            qWarning().noquote() << "ZipUtil: files replaced by a failed extraction are kept in" << m_work;
    }

    QString root() const { return m_root; }

    // Creates the target (when missing) and the work folder beside it.
    bool begin()
    {
        if (!QFileInfo(m_root).isDir()) {
            if (!QDir().mkpath(m_root))
                return false;
            m_createdFolders.append(m_root);
        }
        const QFileInfo rootInfo(m_root);
        QTemporaryDir work(rootInfo.absolutePath() + QStringLiteral("/.") + rootInfo.fileName() +
                           QStringLiteral(".unzip-XXXXXX"));
        if (!work.isValid())
            return false;
        work.setAutoRemove(false);
        m_work = work.path();
        return QDir().mkdir(staged()) && QDir().mkdir(replaced());
    }

    // Writes the current entry of zip into the work folder.
    bool stage(QuaZip& zip, const PlannedEntry& entry, Budget& budget)
    {
        const QString destination = staged() + '/' + entry.relativePath;
        const int lastSlash = entry.relativePath.lastIndexOf('/');
        QStringList created;
        if (!makeFoldersInside(staged(), entry.relativePath.left(qMax(lastSlash, 0)), created))
            return false;
        return extractCurrent(zip, destination, budget);
    }

    // Moves every staged entry into the target; on failure everything is put back as it was.
    bool moveIn(const QList<PlannedEntry>& plan)
    {
        QSet<QString> done;
        for (const PlannedEntry& entry : plan) {
            const QString relative = QDir::cleanPath(entry.relativePath);
            if (done.contains(relative))
                continue; // a later entry of the same name was staged over it
            done.insert(relative);
            if (!moveInOne(relative, entry.folder)) {
                rollBack();
                return false;
            }
        }
        return true;
    }

    // Takes back what moveIn (or begin) did so far.
    void rollBack()
    {
        for (auto file = m_movedIn.crbegin(); file != m_movedIn.crend(); ++file)
            QFile::remove(*file);
        for (auto saved = m_movedAside.crbegin(); saved != m_movedAside.crend(); ++saved) {
            if (!QFile::rename(saved->first, saved->second))
                m_keepWork = true;
        }
        for (auto folder = m_createdFolders.crbegin(); folder != m_createdFolders.crend(); ++folder)
            QDir().rmdir(*folder);
        m_movedIn.clear();
        m_movedAside.clear();
        m_createdFolders.clear();
    }

private:
    QString staged() const { return m_work + QStringLiteral("/new"); }
    QString replaced() const { return m_work + QStringLiteral("/old"); }

    bool moveInOne(const QString& relative, bool folder)
    {
        const int lastSlash = relative.lastIndexOf('/');
        const QString parent = folder ? relative : relative.left(qMax(lastSlash, 0));
        const int before = m_createdFolders.size();
        if (!makeFoldersInside(m_root, parent, m_createdFolders))
            return false;
        if (folder) {
            // A folder made here takes the permissions its entry gave the staged one.
            const QString target = m_root + '/' + relative;
            if (m_createdFolders.size() > before && m_createdFolders.last() == target)
                QFile::setPermissions(target, QFileInfo(staged() + '/' + relative).permissions());
            return true;
        }

        const QString target = m_root + '/' + relative;
        const QFileInfo existing(target);
        if (existing.isSymLink() || existing.exists()) {
            // A link is replaced, never written through; a folder can't become a file.
            if (existing.isDir() && !existing.isSymLink())
                return false;
            const QString aside = replaced() + '/' + relative;
            if (!QDir().mkpath(QFileInfo(aside).absolutePath()) || !QFile::rename(target, aside))
                return false;
            m_movedAside.append({aside, target});
        }
        if (!QFile::rename(staged() + '/' + relative, target))
            return false;
        m_movedIn.append(target);
        return true;
    }

    const QString m_root;
    QString m_work;
    bool m_keepWork = false;
    QStringList m_createdFolders; // in creation order
    QStringList m_movedIn;
    QList<QPair<QString, QString>> m_movedAside; // (where it is now, where it was)
};

// Opens the archive, plans the entries (planAll or planNamed), stages and moves them into folder.
template <typename Plan, typename GoTo>
QStringList extractStaged(QuaZip& zip, const QString& folder, const ZipExtractLimits& limits, int& error, Plan plan,
                          GoTo goTo)
{
    error = UNZ_OK;
    if (!zip.open(QuaZip::mdUnzip)) {
        error = nonZero(zip.getZipError(), UNZ_BADZIPFILE);
        return QStringList();
    }
    QList<PlannedEntry> entries;
    qint64 declaredBytes = 0;
    if (!plan(zip, entries, declaredBytes, error)) {
        zip.close();
        return QStringList();
    }

    StagedExtraction extraction(folder);
    if (!extraction.begin()) {
        zip.close();
        extraction.rollBack();
        error = UNZ_ERRNO;
        return QStringList();
    }
    Budget budget = budgetFor(limits, QFileInfo(extraction.root()).absolutePath());
    // What the archive declares can only refuse it early; the budget counts what is really written.
    bool ok = true;
    if (declaredBytes > budget.remaining) {
        error = budget.byFreeSpace ? UNZ_ERRNO : UNZ_BADZIPFILE;
        ok = false;
    }
    for (int index = 0; ok && index < entries.size(); ++index) {
        if (!goTo(zip, index, entries.at(index)) || !extraction.stage(zip, entries.at(index), budget))
            error = nonZero(budget.error, nonZero(zip.getZipError(), UNZ_ERRNO));
        ok = error == UNZ_OK;
    }
    zip.close();
    if (ok && zip.getZipError() != UNZ_OK) {
        error = zip.getZipError();
        ok = false;
    }
    if (ok && !extraction.moveIn(entries)) {
        error = UNZ_ERRNO;
        ok = false;
    }
    if (!ok) {
        extraction.rollBack();
        return QStringList();
    }
    QStringList extracted;
    for (const PlannedEntry& entry : qAsConst(entries))
        extracted.append(extraction.root() + '/' + entry.relativePath);
    return extracted;
}

QStringList extractAll(QuaZip& zip, const QString& folder, const ZipExtractLimits& limits, int& error)
{
    return extractStaged(zip, folder, limits, error, planAll, [](QuaZip& archive, int index, const PlannedEntry&) {
        return index == 0 ? archive.goToFirstFile() : archive.goToNextFile();
    });
}

QStringList extractNamed(QuaZip& zip, const QStringList& entryNames, const QString& folder)
{
    int error = UNZ_OK;
    const auto plan = [&entryNames](QuaZip& archive, QList<PlannedEntry>& entries, qint64& declared, int& code) {
        return planNamed(archive, entryNames, entries, declared, code);
    };
    return extractStaged(
        zip, folder, ZipExtractLimits(), error, plan,
        [](QuaZip& archive, int, const PlannedEntry& entry) { return archive.setCurrentFile(entry.entryName); });
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
    return extractDir(archive, folder, error, ZipExtractLimits());
}

QStringList ZipUtil::extractDir(const QString& archive, const QString& folder, int* error,
                                const ZipExtractLimits& limits)
{
    QuaZip zip(archive);
    int code = UNZ_OK;
    const QStringList extracted = extractAll(zip, folder, limits, code);
    if (error)
        *error = code;
    return extracted;
}

QStringList ZipUtil::extractDir(QuaZip& zip, const QString& folder)
{
    int code = UNZ_OK;
    return extractAll(zip, folder, ZipExtractLimits(), code);
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
    const QString folder = destination.endsWith('/') ? destination : QFileInfo(destination).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    Budget budget = budgetFor(ZipExtractLimits(), folder);
    return extractCurrent(*zip, destination, budget);
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
