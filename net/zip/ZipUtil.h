#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

class QIODevice;
class QuaZip;

// What one extraction may write. Bytes are counted as they are written; the sizes an archive declares
// can only make it refused sooner.
struct ZipExtractLimits
{
    // All entries together; the free space of the target's file system lowers it further.
    qint64 totalBytes = qint64(4) << 30;
    // An entry may unpack to this much at any ratio, beyond it to at most entryRatio times its packed size.
    qint64 entryBytesBeforeRatio = qint64(10) << 20;
    qint64 entryRatio = 100;
};

// Packs and unpacks zip archives on disk. Stateless; every function reports failure by its result alone.
//
// Extraction treats an archive as untrusted: an entry whose name leads outside the target folder ("..",
// an absolute name, with either kind of slash), a symbolic-link entry, or a path that would pass through
// an existing symbolic link fails the whole extraction, and so does an archive that unpacks beyond
// ZipExtractLimits. The entries are written into a fresh folder beside the target and moved in only once
// all are complete: a failed extraction leaves the target as it was, files of the same name included.
class ZipUtil
{
public:
    // Every entry of the archive into folder; the absolute paths written, in archive order, or an empty
    // list on any failure. The error code (when given) is 0 only when every entry was written; otherwise it
    // is the zip library's code, or UNZ_BADZIPFILE for a refused entry or an archive beyond the limits,
    // UNZ_ERRNO for a failed write or too little free space and UNZ_END_OF_LIST_OF_FILE for an archive
    // without entries.
    static QStringList extractDir(const QString& archive, const QString& folder, int* error);
    static QStringList extractDir(const QString& archive, const QString& folder, int* error,
                                  const ZipExtractLimits& limits);
    static QStringList extractDir(QuaZip& zip, const QString& folder);
    static QStringList extractDir(QIODevice* device, const QString& folder);

    // The current entry (or the named one) of an archive open for reading into destination. A destination
    // ending in "/" names a folder entry. Symbolic-link entries and entries beyond the default limits are
    // refused; a file already at destination is replaced only by a complete entry.
    static bool extractFile(QuaZip* zip, const QString& entryName, const QString& destination);

    // One entry into destination (empty: the entry's own name, relative to the working folder); the
    // destination's absolute path, empty on failure.
    static QString extractFile(QuaZip& zip, const QString& entryName, const QString& destination = QString());
    static QString extractFile(const QString& archive, const QString& entryName,
                               const QString& destination = QString());
    static QString extractFile(QIODevice* device, const QString& entryName, const QString& destination = QString());

    // The named entries into folder, each under its own name; empty (and nothing left behind) on failure.
    static QStringList extractFiles(QuaZip& zip, const QStringList& entryNames, const QString& folder);
    static QStringList extractFiles(const QString& archive, const QStringList& entryNames, const QString& folder);
    static QStringList extractFiles(QIODevice* device, const QStringList& entryNames, const QString& folder);

    // Every entry's name in archive order; empty on any error.
    static QStringList getFileList(const QString& archive);
    static QStringList getFileList(QIODevice* device);

    // Adds file as entry nameInArchive to an archive open for create, append or add.
    static bool compressFile(QuaZip* zip, const QString& file, const QString& nameInArchive);

    // Adds folder (below origin) to an archive open for create, append or add: a folder entry for it unless
    // it is the origin, its files, and with recursive set its sub-folders. Linked sub-folders are not
    // followed.
    static bool compressSubDir(QuaZip* zip, const QString& folder, const QString& origin, bool recursive,
                               QDir::Filters filters);

    // New archives; on any failure the archive file is removed.
    static bool compressFile(const QString& archive, const QString& file);
    static bool compressFiles(const QString& archive, const QStringList& files);
    static bool compressDir(const QString& archive, const QString& folder, bool recursive);
    static bool compressDir(const QString& archive, const QString& folder, bool recursive, QDir::Filters filters);

    // Copies in to out in 4096-byte blocks until in is at its end.
    static bool copyData(QIODevice& in, QIODevice& out);

    // Removes the files in order, stopping at the first that can't be removed; true when all were removed.
    static bool removeFile(const QStringList& files);
};
