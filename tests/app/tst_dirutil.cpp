#include "app/DirUtil.h"

#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using ZmTest::writeFile;

class TestDirUtil : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void removesATreeDepthFirst()
    {
        const QString root = path("tree");
        QVERIFY(writeFile(root + "/a.txt", "a"));
        QVERIFY(writeFile(root + "/.hidden", "h"));
        QVERIFY(writeFile(root + "/sub/deeper/b.txt", "b"));
        QVERIFY(QDir().mkpath(root + "/empty"));
        QVERIFY(QFile::link(root + "/missing-target", root + "/sub/dangling"));
        QVERIFY(removeDirRecursively(root));
        QVERIFY(!QFileInfo::exists(root));
    }

    void removesLinksWithoutFollowingThem()
    {
        const QString outside = path("outside");
        QVERIFY(writeFile(outside + "/keep.txt", "keep"));
        QVERIFY(writeFile(outside + "/inner/keep2.txt", "keep"));
        const QString root = path("linked");
        QVERIFY(QDir().mkpath(root));
        QVERIFY(QFile::link(outside, root + "/folderLink"));
        QVERIFY(QFile::link(outside + "/keep.txt", root + "/fileLink"));
        QVERIFY(removeDirRecursively(root));
        QVERIFY(!QFileInfo::exists(root));
        QVERIFY(QFileInfo::exists(outside + "/keep.txt"));
        QVERIFY(QFileInfo::exists(outside + "/inner/keep2.txt"));

        // The path itself a link: only the link goes.
        QVERIFY(QFile::link(outside, path("topLink")));
        QVERIFY(removeDirRecursively(path("topLink")));
        QVERIFY(!QFileInfo(path("topLink")).isSymLink());
        QVERIFY(QFileInfo::exists(outside + "/inner/keep2.txt"));
    }

    void missingFolderIsNoErrorAndPlainFilesStay()
    {
        QVERIFY(removeDirRecursively(path("never-there")));
        QVERIFY(writeFile(path("plain.txt"), "x"));
        QVERIFY(!removeDirRecursively(path("plain.txt")));
        QVERIFY(QFileInfo::exists(path("plain.txt")));
    }
};

ZM_TEST_MAIN_CORE(TestDirUtil)
#include "tst_dirutil.moc"
