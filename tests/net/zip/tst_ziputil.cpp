#include "net/zip/ZipUtil.h"

#include "TestFiles.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <quazip/quazip.h>

using ZmTest::readFile;
using ZmTest::writeFile;
using ZmTest::writeZip;
using ZmTest::ZipEntry;

namespace {

// Deterministic bytes that hardly compress.
QByteArray patternBytes(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        data[i] = char(state >> 16);
    }
    return data;
}

} // namespace

namespace {

// Every file and link below folder, relative, sorted.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

} // namespace

Q_DECLARE_METATYPE(QList<ZipEntry>)

class TestZipUtil : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void compressesAndExtractsAFolderTree()
    {
        const QString source = path("tree/source");
        QVERIFY(writeFile(source + "/top.txt", "top"));
        QVERIFY(writeFile(source + "/sub/inner.bin", QByteArray(100000, 'x')));
        QVERIFY(writeFile(source + "/sub/deeper/empty.txt", QByteArray()));
        QVERIFY(QDir().mkpath(source + "/emptyFolder"));
        QVERIFY(ZipUtil::compressDir(path("tree/tree.zip"), source, true));

        const QString target = path("tree/target");
        QVERIFY(writeFile(target + "/top.txt", "an older and longer content"));
        int error = -1;
        const QStringList extracted = ZipUtil::extractDir(path("tree/tree.zip"), target, &error);
        QCOMPARE(error, 0);
        QStringList expected;
        for (const QString& name : ZipUtil::getFileList(path("tree/tree.zip")))
            expected << target + '/' + name;
        QCOMPARE(extracted, expected);
        QCOMPARE(filesBelow(target), filesBelow(source));
        QCOMPARE(readFile(target + "/top.txt"), QByteArray("top"));
        QCOMPARE(readFile(target + "/sub/inner.bin"), QByteArray(100000, 'x'));
        QVERIFY(QFileInfo(target + "/emptyFolder").isDir());

        // A null error pointer is allowed.
        QVERIFY(!ZipUtil::extractDir(path("tree/tree.zip"), path("tree/again"), nullptr).isEmpty());
    }

    void rejectsBrokenArchives_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("missing") << QByteArray("missing");
        QTest::newRow("empty file") << QByteArray("empty");
        QTest::newRow("not a zip") << QByteArray("text");
        QTest::newRow("truncated") << QByteArray("truncated");
        QTest::newRow("corrupt data") << QByteArray("corrupt");
        QTest::newRow("checksum mismatch") << QByteArray("checksum");
        QTest::newRow("no entries") << QByteArray("noEntries");
    }

    void rejectsBrokenArchives()
    {
        QFETCH(QByteArray, kind);
        const QString archive = path("broken-" + kind + ".zip");
        const QByteArray payload = QByteArray("payload that compresses well ").repeated(200);
        QVERIFY(writeZip(path("good.zip"), {{"first.txt", "first"}, {"second.txt", payload}}));
        QByteArray bytes = readFile(path("good.zip"));
        if (kind == "empty") {
            bytes.clear();
        } else if (kind == "text") {
            bytes = "this is not an archive at all\n";
        } else if (kind == "truncated") {
            bytes.truncate(bytes.size() / 2);
        } else if (kind == "corrupt") {
            // Flip bytes inside the second entry's compressed data: its CRC check fails.
            const int at = bytes.indexOf("second.txt") + 20;
            for (int i = at; i < at + 8; ++i)
                bytes[i] = char(bytes[i] ^ 0x5A);
        } else if (kind == "checksum") {
            // Stored data reads back fine; only its CRC tells the change.
            QVERIFY(writeZip(archive, {{"first.txt", "first"}, {"second.txt", payload, 0100644, true}}));
            bytes = readFile(archive);
            bytes[bytes.indexOf(payload) + 100] = '#';
        } else if (kind == "noEntries") {
            QVERIFY(writeZip(archive, {}));
            bytes = readFile(archive);
        }
        if (kind != "missing")
            QVERIFY(writeFile(archive, bytes));

        const QString target = path("broken-target-" + kind);
        int error = 0;
        QVERIFY(ZipUtil::extractDir(archive, target, &error).isEmpty());
        QVERIFY(error != 0);
        QCOMPARE(filesBelow(target), QStringList());
    }

    void refusesUnsafeArchivesWhole_data()
    {
        QTest::addColumn<QList<ZipEntry>>("entries");
        const ZipEntry good{"good.txt", "good"};
        QTest::newRow("parent folder") << QList<ZipEntry>{good, {"../evil.txt", "evil"}};
        QTest::newRow("parent inside path") << QList<ZipEntry>{good, {"a/../../evil.txt", "evil"}};
        QTest::newRow("absolute") << QList<ZipEntry>{good, {path("evil.txt"), "evil"}};
        QTest::newRow("backslash parent") << QList<ZipEntry>{good, {"..\\evil.txt", "evil"}};
        QTest::newRow("backslash inside path") << QList<ZipEntry>{good, {"a\\..\\..\\evil.txt", "evil"}};
        QTest::newRow("drive letter") << QList<ZipEntry>{good, {"C:/evil.txt", "evil"}};
        QTest::newRow("symlink entry") << QList<ZipEntry>{good, {"link", m_dir.path().toUtf8(), 0120777}};
        QTest::newRow("file through symlink entry")
            << QList<ZipEntry>{good, {"link", m_dir.path().toUtf8(), 0120777}, {"link/evil.txt", "evil"}};
    }

    void refusesUnsafeArchivesWhole()
    {
        QFETCH(QList<ZipEntry>, entries);
        const QString archive = path(QString("unsafe-%1.zip").arg(QTest::currentDataTag()));
        QVERIFY(writeZip(archive, entries));
        const QString target = path(QString("unsafe/%1/target").arg(QTest::currentDataTag()));

        int error = 0;
        QVERIFY(ZipUtil::extractDir(archive, target, &error).isEmpty());
        QVERIFY(error != 0);
        QCOMPARE(filesBelow(path("unsafe")), QStringList());
        QVERIFY(!QFileInfo::exists(path("evil.txt")));
        QVERIFY(!QFileInfo::exists(path(QString("unsafe/%1/evil.txt").arg(QTest::currentDataTag()))));
    }

    void neverWritesThroughALinkInTheTarget()
    {
        const QString outside = path("link-outside");
        QVERIFY(QDir().mkpath(outside));
        const QString target = path("link-target");
        QVERIFY(QDir().mkpath(target));
        QVERIFY(QFile::link(outside, target + "/sub"));
        QVERIFY(QFile::link(outside + "/victim.txt", target + "/top.txt"));
        QVERIFY(writeFile(outside + "/victim.txt", "keep"));

        QVERIFY(writeZip(path("link.zip"), {{"sub/x.txt", "x"}}));
        int error = 0;
        QVERIFY(ZipUtil::extractDir(path("link.zip"), target, &error).isEmpty());
        QVERIFY(error != 0);
        QCOMPARE(filesBelow(outside), QStringList{"victim.txt"});

        // A link where a file goes is replaced by the file; what it pointed at stays.
        QVERIFY(writeZip(path("link2.zip"), {{"top.txt", "new"}}));
        QCOMPARE(ZipUtil::extractDir(path("link2.zip"), target, &error), QStringList{target + "/top.txt"});
        QCOMPARE(error, 0);
        QVERIFY(!QFileInfo(target + "/top.txt").isSymLink());
        QCOMPARE(readFile(target + "/top.txt"), QByteArray("new"));
        QCOMPARE(readFile(outside + "/victim.txt"), QByteArray("keep"));
    }

    void failedWriteFailsAndTakesBackWhatWasWritten()
    {
        // A folder where the second entry's file should go: that write fails.
        const QString target = path("blocked");
        QVERIFY(QDir().mkpath(target + "/second.txt"));
        QVERIFY(writeZip(path("blocked.zip"), {{"new/first.txt", "1"}, {"second.txt", "2"}, {"third.txt", "3"}}));
        int error = 0;
        QVERIFY(ZipUtil::extractDir(path("blocked.zip"), target, &error).isEmpty());
        QVERIFY(error != 0);
        QCOMPARE(filesBelow(target), QStringList());
        QVERIFY(!QFileInfo::exists(target + "/new"));
    }

    void refusesArchivesBeyondTheLimits_data()
    {
        QTest::addColumn<QList<ZipEntry>>("entries");
        QTest::addColumn<qint64>("totalLimit");
        QTest::addColumn<bool>("extracted");

        const qint64 fourGiB = qint64(4) << 30;
        const ZipEntry small{"small.txt", "small"};
        QTest::newRow("an entry unpacking to far more than its packed size")
            << QList<ZipEntry>{small, {"bomb.bin", QByteArray(11 << 20, '\0')}} << fourGiB << false;
        QTest::newRow("a small entry at any ratio")
            << QList<ZipEntry>{small, {"zeros.bin", QByteArray(10 << 20, '\0')}} << fourGiB << true;
        QTest::newRow("a large entry that hardly compresses")
            << QList<ZipEntry>{small, {"big.bin", patternBytes(12 << 20), 0100644, true}} << fourGiB << true;
        QTest::newRow("entries adding up beyond the total")
            << QList<ZipEntry>{{"a.bin", patternBytes(400000), 0100644, true},
                               {"b.bin", patternBytes(400000), 0100644, true},
                               {"c.bin", patternBytes(400000), 0100644, true}}
            << qint64(1 << 20) << false;
        QTest::newRow("entries just within the total")
            << QList<ZipEntry>{{"a.bin", patternBytes(400000), 0100644, true},
                               {"b.bin", patternBytes(400000), 0100644, true}}
            << qint64(1 << 20) << true;
    }

    // Archives are measured by what they unpack to: beyond the limits nothing reaches the target.
    void refusesArchivesBeyondTheLimits()
    {
        QFETCH(QList<ZipEntry>, entries);
        QFETCH(qint64, totalLimit);
        QFETCH(bool, extracted);

        const QString parent = path(QString("limits/%1").arg(QTest::currentDataTag()));
        const QString target = parent + "/target";
        QVERIFY(writeFile(target + "/kept.txt", "kept"));
        QVERIFY(writeZip(parent + ".zip", entries));
        ZipExtractLimits limits;
        limits.totalBytes = totalLimit;
        int error = -1;
        const QStringList written = ZipUtil::extractDir(parent + ".zip", target, &error, limits);
        QCOMPARE(written.size(), extracted ? entries.size() : 0);
        if (extracted) {
            QCOMPARE(error, 0);
            for (const ZipEntry& entry : entries)
                QVERIFY(readFile(target + '/' + entry.name) == entry.data);
        } else {
            QCOMPARE(error, UNZ_BADZIPFILE);
            QCOMPARE(filesBelow(target), QStringList{"kept.txt"});
        }
        QCOMPARE(readFile(target + "/kept.txt"), QByteArray("kept"));
        QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"target"});
    }

    void failureLeavesTheTargetAsItWas_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("complete archive") << QString();
        QTest::newRow("a later entry unpacks too far") << "bomb";
        QTest::newRow("a later entry fails its checksum") << "checksum";
        QTest::newRow("a later entry's place is a folder") << "folder";
    }

    // Files the target held, those of the same name as entries included, survive a failed extraction; a
    // complete one replaces those of the same name and leaves the others.
    void failureLeavesTheTargetAsItWas()
    {
        QFETCH(QString, failure);
        const QString parent = path("keep/" + (failure.isEmpty() ? QString("none") : failure));
        const QString target = parent + "/target";
        QVERIFY(writeFile(target + "/same.txt", "the user's own"));
        QVERIFY(writeFile(target + "/sub/same.txt", "the user's own, deeper"));
        QVERIFY(writeFile(target + "/other.txt", "other"));
        QList<ZipEntry> entries{{"first.txt", "first"}, {"same.txt", "theirs"}, {"sub/same.txt", "theirs too"}};
        if (failure == "bomb")
            entries.append({"last.bin", QByteArray(11 << 20, '\0')});
        else if (failure == "checksum" || failure == "folder")
            entries.append({"last.txt", QByteArray("last entry ").repeated(50), 0100644, true});
        if (failure == "folder")
            QVERIFY(QDir().mkpath(target + "/last.txt"));
        QVERIFY(writeZip(parent + "/archive.zip", entries));
        if (failure == "checksum") {
            QByteArray bytes = readFile(parent + "/archive.zip");
            bytes[bytes.indexOf("last entry last entry") + 30] = '#';
            QVERIFY(writeFile(parent + "/archive.zip", bytes));
        }

        int error = 0;
        const QStringList written = ZipUtil::extractDir(parent + "/archive.zip", target, &error);
        if (failure.isEmpty()) {
            QCOMPARE(error, 0);
            QCOMPARE(written.size(), 3);
            QCOMPARE(readFile(target + "/same.txt"), QByteArray("theirs"));
            QCOMPARE(readFile(target + "/sub/same.txt"), QByteArray("theirs too"));
            QCOMPARE(filesBelow(target), (QStringList{"first.txt", "other.txt", "same.txt", "sub/same.txt"}));
        } else {
            QVERIFY(error != 0);
            QVERIFY(written.isEmpty());
            QCOMPARE(readFile(target + "/same.txt"), QByteArray("the user's own"));
            QCOMPARE(readFile(target + "/sub/same.txt"), QByteArray("the user's own, deeper"));
            QCOMPARE(filesBelow(target), (QStringList{"other.txt", "same.txt", "sub/same.txt"}));
        }
        QCOMPARE(readFile(target + "/other.txt"), QByteArray("other"));
        QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"archive.zip", "target"}));
    }

    void extractsSingleEntriesAndLists()
    {
        QVERIFY(writeZip(path("single.zip"), {{"a.txt", "A"}, {"dir/b.txt", "B"}, {"link", "/etc", 0120777}}));
        QCOMPARE(ZipUtil::getFileList(path("single.zip")), (QStringList{"a.txt", "dir/b.txt", "link"}));

        const QString destination = path("single/out.txt");
        QCOMPARE(ZipUtil::extractFile(path("single.zip"), "dir/b.txt", destination), destination);
        QCOMPARE(readFile(destination), QByteArray("B"));
        QVERIFY(ZipUtil::extractFile(path("single.zip"), "missing.txt", path("single/none.txt")).isEmpty());
        QVERIFY(ZipUtil::extractFile(path("single.zip"), "link", path("single/link")).isEmpty());
        QVERIFY(!QFileInfo::exists(path("single/link")));

        QCOMPARE(ZipUtil::extractFiles(path("single.zip"), {"a.txt", "dir/b.txt"}, path("some")),
                 (QStringList{path("some/a.txt"), path("some/dir/b.txt")}));
        // One bad name fails the call and leaves nothing behind.
        QVERIFY(ZipUtil::extractFiles(path("single.zip"), {"a.txt", "link"}, path("none")).isEmpty());
        QCOMPARE(filesBelow(path("none")), QStringList());

        QFile device(path("single.zip"));
        QCOMPARE(ZipUtil::getFileList(&device).size(), 3);
        QBuffer notZip;
        notZip.setData("garbage");
        QVERIFY(ZipUtil::getFileList(&notZip).isEmpty());
    }

    void compressesFiles()
    {
        QVERIFY(writeFile(path("files/one.txt"), "one"));
        QVERIFY(writeFile(path("files/two.txt"), "two"));
        QVERIFY(QFile::link(path("files/two.txt"), path("files/alias.txt")));
        QVERIFY(ZipUtil::compressFiles(path("files/out/both.zip"),
                                       {path("files/one.txt"), path("files/two.txt"), path("files/alias.txt")}));
        // A linked file is packed as a plain file with the content it points at.
        QCOMPARE(ZipUtil::extractDir(path("files/out/both.zip"), path("files/unpacked"), nullptr).size(), 3);
        QCOMPARE(readFile(path("files/unpacked/alias.txt")), QByteArray("two"));

        QVERIFY(ZipUtil::compressFile(path("files/out/one.zip"), path("files/one.txt")));
        QCOMPARE(ZipUtil::getFileList(path("files/out/one.zip")), QStringList{"one.txt"});

        QVERIFY(!ZipUtil::compressFiles(path("files/out/bad.zip"), {path("files/one.txt"), path("files/nope.txt")}));
        QVERIFY(!QFileInfo::exists(path("files/out/bad.zip")));
    }

    void removeFileStopsAtTheFirstFailure()
    {
        QVERIFY(writeFile(path("rm/a"), "a"));
        QVERIFY(writeFile(path("rm/c"), "c"));
        QVERIFY(!ZipUtil::removeFile({path("rm/a"), path("rm/missing"), path("rm/c")}));
        QVERIFY(!QFileInfo::exists(path("rm/a")));
        QVERIFY(QFileInfo::exists(path("rm/c")));
        QVERIFY(ZipUtil::removeFile({}));
    }
};

ZM_TEST_MAIN_CORE(TestZipUtil)
#include "tst_ziputil.moc"
