#include "net/zip/ZipUtil.h"

#include "TestFiles.h"
#include "ZipFixture.h"
#include "ZmTestMain.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using ZmTest::readFile;
using ZmTest::writeFile;
using ZmTest::writeZip;
using ZmTest::ZipEntry;

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
