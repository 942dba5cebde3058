#include "app/DirUtil.h"
#include "app/ProgramFiles.h"

#include "LogCapture.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

using ZmTest::readFile;
using ZmTest::writeFile;

namespace {

// Only this test writes the settings file beside the test programs, and only into this group, so tests that
// run at the same time and read the file see nothing of it.
const QString kGroup = QStringLiteral("TestProgramFiles");

void writeSetting(const QString& path, const QString& key, const QVariant& value)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    settings.setValue(key, value);
}

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    bool desktopIniExisted = false;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        desktopIniExisted = QFile::exists(getDesktopIniPath());
    }

    void cleanupTestCase()
    {
        if (!desktopIniExisted) {
            QFile::remove(getDesktopIniPath());
            return;
        }
        QSettings settings(getDesktopIniPath(), QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        settings.remove(kGroup);
    }

    void programPathParts()
    {
        const QString folder = QCoreApplication::applicationDirPath() + '/';
        QCOMPARE(getModulePathPart(0), folder);
        QCOMPARE(getModulePathPart(1), QStringLiteral("tst_programfiles"));
        QVERIFY(getModulePathPart(2).isEmpty());
        QCOMPARE(getDesktopIniPath(), folder + "ZmQuillo_Desktop.ini");
        QVERIFY(getUserIniPath().endsWith(QLatin1String("/viDaviro.ini")));
        QVERIFY(getUserIniPath().startsWith(qEnvironmentVariable("HOME")));
    }

    void readIniInt_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("value");
        QTest::newRow("number") << "G/number" << true << 42;
        QTest::newRow("negative") << "G/negative" << true << -7;
        QTest::newRow("text") << "G/text" << false << 99;
        QTest::newRow("empty") << "G/empty" << false << 99;
        QTest::newRow("absent") << "G/absent" << false << 99;
        QTest::newRow("other group") << "H/number" << false << 99;
    }

    void readIniInt()
    {
        QFETCH(QString, key);
        QFETCH(bool, found);
        QFETCH(int, value);
        const QString path = dir.filePath("ints.ini");
        QVERIFY(writeFile(path, "[G]\nnumber=42\nnegative=-7\ntext=abc\nempty=\n"));
        int read = 99;
        QCOMPARE(::readIniInt(path, key, read), found);
        QCOMPARE(read, value);
    }

    void readIniString_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("text") << "texts.ini"
                              << "G/name"
                              << "plain";
        QTest::newRow("utf-8") << "texts.ini"
                               << "G/chinese" << QString::fromUtf8("中文课堂");
        QTest::newRow("absent keeps value") << "texts.ini"
                                            << "G/absent"
                                            << "caller's";
        QTest::newRow("missing file keeps value") << "missing.ini"
                                                  << "G/name"
                                                  << "caller's";
    }

    void readIniString()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QVERIFY(writeFile(dir.filePath("texts.ini"), "[G]\nname=plain\nchinese=\xe4\xb8\xad\xe6\x96\x87\xe8\xaf\xbe"
                                                     "\xe5\xa0\x82\n"));
        QString read = QStringLiteral("caller's");
        QVERIFY(::readIniString(dir.filePath(file), key, read));
        QCOMPARE(read, value);
    }

    // A settings file that cannot be read is not taken silently: one warning per file in a run, whatever is read
    // from it how often.
    void unreadableFileIsWarnedAboutOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason"); // empty: no warning
        QTest::newRow("readable") << "good.ini"
                                  << "";
        QTest::newRow("missing") << "missing.ini"
                                 << "";
        QTest::newRow("no ini text") << "binary.ini"
                                     << "it is not a valid ini file";
        QTest::newRow("a folder") << "folder.ini"
                                  << "it cannot be opened";
    }

    void unreadableFileIsWarnedAboutOnce()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(writeFile(dir.filePath("good.ini"), "[G]\nnumber=42\n"));
        QVERIFY(writeFile(dir.filePath("binary.ini"), QByteArray("\xff\xfe\0[G]\nnumber=42\n", 17)));
        QVERIFY(QDir().mkpath(dir.filePath("folder.ini")));
        const QString path = dir.filePath(name);

        ZmTest::LogCapture log;
        int number = 0;
        QString text;
        ::readIniInt(path, "G/number", number);
        ::readIniInt(path, "G/number", number);
        ::readIniString(path, "G/number", text);
        const QStringList warnings = log.lines(QtWarningMsg);
        if (reason.isEmpty()) {
            QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
        } else {
            QCOMPARE(warnings, QStringList{"readIni the settings file " + path + " cannot be read in full: " + reason +
                                           " - the values it lacks keep their defaults"});
        }
    }

    // The program-folder file is read first, the user file second: the user's value wins.
    void readSettingWithDefault_data()
    {
        QTest::addColumn<QVariant>("desktop"); // invalid: key not written
        QTest::addColumn<QVariant>("user");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("value");
        QTest::newRow("desktop only") << QVariant(7) << QVariant() << true << 7;
        QTest::newRow("user only") << QVariant() << QVariant(8) << true << 8;
        QTest::newRow("both: user wins") << QVariant(7) << QVariant(8) << true << 8;
        QTest::newRow("neither: default kept") << QVariant() << QVariant() << false << 15;
        QTest::newRow("user not a number") << QVariant(7) << QVariant("abc") << true << 7;
        QTest::newRow("none a number") << QVariant("x") << QVariant("y") << false << 15;
    }

    void readSettingWithDefault()
    {
        QFETCH(QVariant, desktop);
        QFETCH(QVariant, user);
        QFETCH(bool, found);
        QFETCH(int, value);
        const QString key = kGroup + '/' + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_');
        QDir().mkpath(QFileInfo(getUserIniPath()).path());
        if (desktop.isValid())
            writeSetting(getDesktopIniPath(), key, desktop);
        if (user.isValid())
            writeSetting(getUserIniPath(), key, user);
        int read = 15;
        QCOMPARE(::readSettingWithDefault(key, read), found);
        QCOMPARE(read, value);
    }

    void versions()
    {
        const QString full = QStringLiteral(ZM_EXPECTED_VERSION);
        QCOMPARE(getExeFileVersion(4), full);
        QCOMPARE(getExeFileVersion(3), full.section('.', 0, 2));
        QCOMPARE(getExeFileVersion(2), full.section('.', 0, 2)); // any count other than 4 gives three parts
        QCOMPARE(getFileVersion(QCoreApplication::applicationFilePath(), 4), full);
        QVERIFY(writeFile(dir.filePath("plain.bin"), "no version"));
        QVERIFY(getFileVersion(dir.filePath("plain.bin"), 4).isEmpty());
        QVERIFY(getFileVersion(dir.filePath("missing.bin"), 4).isEmpty());
    }

    void folders()
    {
        const QString nested = dir.filePath("a/b/c");
        QVERIFY(!dirExists(nested));
        QCOMPARE(makeDirIfMissing(nested), nested);
        QVERIFY(dirExists(nested));
        QVERIFY(makePathIfMissing(nested)); // already there

        QVERIFY(writeFile(dir.filePath("file"), "x"));
        QVERIFY(!dirExists(dir.filePath("file")));
        QVERIFY(!makePathIfMissing(dir.filePath("file/below")));
        QCOMPARE(makeDirIfMissing(dir.filePath("file/below")), dir.filePath("file/below"));
        QVERIFY(!dirExists(dir.filePath("file/below")));
    }

    void copyDirectory_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("targetHoldsOlder");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("topFile");
        QTest::newRow("fresh target") << false << false << true << QByteArray("new top");
        QTest::newRow("overwrite replaces older") << true << true << true << QByteArray("new top");
        QTest::newRow("no overwrite fails on existing") << false << true << false << QByteArray("old top");
    }

    void copyDirectory()
    {
        QFETCH(bool, overwrite);
        QFETCH(bool, targetHoldsOlder);
        QFETCH(bool, ok);
        QFETCH(QByteArray, topFile);

        QTemporaryDir work;
        const QString source = work.filePath("source");
        const QString target = work.filePath("target");
        QVERIFY(QDir().mkpath(source + "/sub/deeper"));
        QVERIFY(writeFile(source + "/top.txt", "new top"));
        QVERIFY(writeFile(source + "/.hidden", "hidden"));
        QVERIFY(writeFile(source + "/sub/deeper/leaf.txt", "new leaf"));
        if (targetHoldsOlder) {
            QVERIFY(QDir().mkpath(target + "/sub"));
            QVERIFY(writeFile(target + "/top.txt", "old top"));
            QVERIFY(writeFile(target + "/keep.txt", "kept"));
        }

        QCOMPARE(::copyDirectory(source, target, overwrite), ok);
        QCOMPARE(readFile(target + "/top.txt"), topFile);
        if (ok) {
            QCOMPARE(readFile(target + "/.hidden"), QByteArray("hidden"));
            QCOMPARE(readFile(target + "/sub/deeper/leaf.txt"), QByteArray("new leaf"));
        }
        if (targetHoldsOlder)
            QCOMPARE(readFile(target + "/keep.txt"), QByteArray("kept"));
    }

    void copyDirectoryCreatesOneLevelOnly()
    {
        QTemporaryDir work;
        QVERIFY(QDir().mkpath(work.filePath("source")));
        QVERIFY(writeFile(work.filePath("source/f"), "f"));
        QVERIFY(!::copyDirectory(work.filePath("source"), work.filePath("missing/target"), true));
        QVERIFY(::copyDirectory(work.filePath("source"), work.filePath("target"), true));
        QCOMPARE(readFile(work.filePath("target/f")), QByteArray("f"));
    }
};

ZM_TEST_MAIN_CORE(TestProgramFiles)
#include "tst_programfiles.moc"
