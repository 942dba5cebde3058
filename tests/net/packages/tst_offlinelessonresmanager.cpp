#include "net/packages/OfflineLessonResManager.h"
#include "net/packages/OfflineLessonResult.h"

#include "UpdatesTestSupport.h"
#include "ZmTestMain.h"

#include <QTemporaryDir>

using namespace UpdatesTest;

class TestOfflineLessonResManager : public QObject
{
    Q_OBJECT

private:
    QString m_lessons;
    QTemporaryDir m_picked; // where the user's archives lie

    QString pick(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_picked.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        m_lessons = OfflineLessonResManager::offlineLessonDir();
        QVERIFY(!m_lessons.isEmpty());
        QVERIFY(QDir(m_lessons).exists());
        QVERIFY(m_lessons.startsWith(QDir::homePath()));
        QVERIFY(m_picked.isValid());
    }

    void singleton()
    {
        QVERIFY(OfflineLessonResManager::instance());
        QCOMPARE(OfflineLessonResManager::instance(), OfflineLessonResManager::instance());
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("number") << "880213" << true;
        QTest::newRow("words") << "Unit 3 lesson-2" << true;
        QTest::newRow("dots inside") << "a..b" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("parent path") << "../x" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("absolute") << "/etc" << false;
        QTest::newRow("line feed") << "a\nb" << false;
        QTest::newRow("too long") << QString(201, QLatin1Char('a')) << false;
    }

    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(OfflineLessonResManager::isSafeFolderName(name), safe);
    }

    void lessonResourceDir()
    {
        OfflineLessonResManager* manager = OfflineLessonResManager::instance();
        QString folder = "untouched";
        QVERIFY(!manager->getLessonResourceDir("1001", &folder));
        QCOMPARE(folder, QStringLiteral("untouched"));
        QVERIFY(QDir().mkpath(m_lessons + "/1001"));
        QVERIFY(manager->getLessonResourceDir("1001", nullptr));
        QVERIFY(manager->getLessonResourceDir("1001", &folder));
        QCOMPARE(folder, m_lessons + "/1001");
        // A folder beside the lesson folder is never the lesson's.
        QVERIFY(QDir().mkpath(m_lessons + "/../outside"));
        QVERIFY(!manager->getLessonResourceDir("../outside", &folder));
        QVERIFY(!manager->getLessonResourceDir("", &folder));
        QVERIFY(!manager->getLessonResourceDir("..", &folder));
        QCOMPARE(folder, m_lessons + "/1001");
    }

    void importCourseware()
    {
        const QByteArray archive = zipBytes({{"index.html", "<html/>"}, {"img/a.png", "png"}});
        QString folder;
        QCOMPARE(OfflineLessonResManager::instance()->importCoursewareZip(pick("course.v2.zip", archive), folder), 0);
        QCOMPARE(folder, m_lessons + "/course");
        QCOMPARE(readFile(folder + "/index.html"), QByteArray("<html/>"));
        QCOMPARE(readFile(folder + "/img/a.png"), QByteArray("png"));

        // A second import replaces the folder's contents.
        const QByteArray second = zipBytes({{"index.html", "<html>2</html>"}});
        QCOMPARE(OfflineLessonResManager::instance()->importCoursewareZip(pick("course.zip", second), folder), 0);
        QCOMPARE(readFile(folder + "/index.html"), QByteArray("<html>2</html>"));
        QVERIFY(!QFile::exists(folder + "/img/a.png"));
        QCOMPARE(QDir(m_lessons).entryList({".import-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    }

    void importFailures_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("result");
        QTest::newRow("corrupt") << "broken.zip" << QByteArray("PK\x03\x04 not really a zip") << -43;
        QTest::newRow("empty archive") << "empty.zip" << zipBytes({}) << -43;
        QTest::newRow("leaves the folder")
            << "slip.zip" << zipBytes({{"ok.txt", "ok"}, {"../../escaped.txt", "bad"}}) << -43;
        QTest::newRow("absolute entry") << "abs.zip" << zipBytes({{"/tmp/zm-import-escape.txt", "bad"}}) << -43;
        QTest::newRow("no base name") << ".zip" << zipBytes({{"a.txt", "a"}}) << -42;
        QTest::newRow("missing") << "" << QByteArray() << -43;
    }

    // A failed import leaves what was there, and nothing lands outside the offline lesson folder.
    void importFailures()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(int, result);
        const QString base = QFileInfo(fileName).baseName();
        if (!base.isEmpty()) {
            QVERIFY(writeFile(m_lessons + "/" + base + "/kept.txt", "kept"));
        }
        const QString path = fileName.isEmpty() ? m_picked.filePath("nothing.zip") : pick(fileName, bytes);
        const QMap<QString, QString> before = snapshotTree(QDir::homePath());
        QString folder = "old";
        QCOMPARE(OfflineLessonResManager::instance()->importCoursewareZip(path, folder), result);
        if (!base.isEmpty()) {
            QCOMPARE(folder, m_lessons + "/" + base);
            QCOMPARE(readFile(folder + "/kept.txt"), QByteArray("kept"));
        } else if (!fileName.isEmpty()) {
            QCOMPARE(folder, QString());
        }
        const QStringList changed = changedPaths(before, snapshotTree(QDir::homePath()));
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(", ")));
        QVERIFY(!QFile::exists("/tmp/zm-import-escape.txt"));
        QVERIFY(!QFile::exists(m_lessons + "/../escaped.txt"));
        QCOMPARE(QDir(m_lessons).entryList({".import-*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    }

    void resultCodes()
    {
        QCOMPARE(int(OfflineLesson_Success), 0);
        QCOMPARE(int(OfflineLesson_NotRun), 1);
        QCOMPARE(int(OfflineLesson_ServiceFailed), -10);
        QCOMPARE(int(OfflineLesson_DownloadFailed), -20);
        QCOMPARE(int(OfflineLesson_SizeMismatch), -31);
        QCOMPARE(int(OfflineLesson_Md5Mismatch), -32);
        QCOMPARE(int(OfflineLesson_ArchiveWriteFailed), -41);
        QCOMPARE(int(OfflineLesson_FolderFailed), -42);
        QCOMPARE(int(OfflineLesson_UnpackFailed), -43);
    }
};

ZM_TEST_MAIN_CORE(TestOfflineLessonResManager)
#include "tst_offlinelessonresmanager.moc"
