#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"

#include "ZmTestMain.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// Writes the ini text (UTF-8) into a new file in dir and returns its path. Every file gets its own name, so
// the settings reader's file cache never answers with an earlier text.
QString writeIni(const QTemporaryDir& dir, const QByteArray& text)
{
    static int count = 0;
    const QString path = dir.filePath(QStringLiteral("ZmQuillo_Desktop_%1.ini").arg(++count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(text);
    return path;
}

} // namespace

class TestUrlConfig : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void defaultsWithoutFile()
    {
        UrlConfig config;
        LaunchInfo launch;
        launch.webMode = QStringLiteral("stale");
        config.mainRoom = QStringLiteral("http://127.0.0.1:1"); // loading starts again from the defaults
        config.loadFrom(dir.filePath(QStringLiteral("missing.ini")), launch);

        QCOMPARE(config.mainRoom, QString(UrlConfig::defaultMainRoom));
        QCOMPARE(config.api, QString(UrlConfig::defaultApi));
        QCOMPARE(config.restful, QString(UrlConfig::defaultApi));
        QVERIFY(config.apiAlternates.isEmpty());
        QVERIFY(config.restfulAlternates.isEmpty());
        QCOMPARE(config.whiteboard, QString(UrlConfig::defaultWhiteboard));
        QCOMPARE(config.playbackWhiteboard, QString(UrlConfig::defaultPlaybackWhiteboard));
        QCOMPARE(config.apmReport, QString(UrlConfig::defaultApmReport));
        QCOMPARE(config.webSocket, QString(UrlConfig::defaultWebSocket));
        QCOMPARE(config.testDownload, QString(UrlConfig::defaultTestDownload));
        QCOMPARE(config.rtcAppId, QByteArray("9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b"));
        QCOMPARE(launch.webMode, QStringLiteral("production"));
    }

    // The built-in addresses: the kinds of endpoint and paths are fixed, no loopback and no real host.
    void defaultAddressShapes_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("path");
        QTest::newRow("main room") << UrlConfig::defaultMainRoom << "http"
                                   << "";
        QTest::newRow("api") << UrlConfig::defaultApi << "http"
                             << "";
        QTest::newRow("whiteboard") << UrlConfig::defaultWhiteboard << "http"
                                    << "";
        QTest::newRow("playback whiteboard") << UrlConfig::defaultPlaybackWhiteboard << "http"
                                             << "/playback";
        QTest::newRow("report") << UrlConfig::defaultApmReport << "http"
                                << "/apm-store-web/messagePosted";
        QTest::newRow("websocket") << UrlConfig::defaultWebSocket << "ws"
                                   << "";
        QTest::newRow("test download") << UrlConfig::defaultTestDownload << "http"
                                       << "/logo_1MB.png";
    }

    void defaultAddressShapes()
    {
        QFETCH(QString, address);
        QFETCH(QString, scheme);
        QFETCH(QString, path);
        const QUrl url(address);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), scheme);
        QCOMPARE(url.path(), path);
        QVERIFY(url.host().endsWith(QLatin1String(".example")));
        QCOMPARE(UrlConfig::builtInRtcAppId, "9c4e2a7b1f08d3e5a6b7c2d9e0f14a3b");
    }

    void readsEveryKey()
    {
        const QString path = writeIni(dir, "[URL]\n"
                                           "MainRoom=http://127.0.0.1:8001/home\n"
                                           "Api=http://127.0.0.1:8002\n"
                                           "RESTful=http://127.0.0.1:8003\n"
                                           "Whiteboard=http://127.0.0.1:8004/wb\n"
                                           "PlaybackWhiteboard=http://127.0.0.1:8004/playback\n"
                                           "ApmReport=http://127.0.0.1:8005/apm\n"
                                           "WebSocket=ws://127.0.0.1:8006\n"
                                           "TestDownload=http://127.0.0.1:8007/logo_1MB.png\n"
                                           "WebServerMode=test\n"
                                           "[AppInfo]\n"
                                           "MainRoom=http://127.0.0.1:9/not-this-group\n");
        UrlConfig config;
        LaunchInfo launch;
        config.loadFrom(path, launch);
        QCOMPARE(config.mainRoom, QStringLiteral("http://127.0.0.1:8001/home"));
        QCOMPARE(config.api, QStringLiteral("http://127.0.0.1:8002"));
        QCOMPARE(config.restful, QStringLiteral("http://127.0.0.1:8003"));
        QCOMPARE(config.whiteboard, QStringLiteral("http://127.0.0.1:8004/wb"));
        QCOMPARE(config.playbackWhiteboard, QStringLiteral("http://127.0.0.1:8004/playback"));
        QCOMPARE(config.apmReport, QStringLiteral("http://127.0.0.1:8005/apm"));
        QCOMPARE(config.webSocket, QStringLiteral("ws://127.0.0.1:8006"));
        QCOMPARE(config.testDownload, QStringLiteral("http://127.0.0.1:8007/logo_1MB.png"));
        QCOMPARE(config.rtcAppId, QByteArray(UrlConfig::builtInRtcAppId));
        QCOMPARE(launch.webMode, QStringLiteral("test"));
    }

    void partialFileKeepsOtherDefaults()
    {
        const QString path = writeIni(dir, "[URL]\nApi=http://127.0.0.1:8002\n");
        UrlConfig config;
        LaunchInfo launch;
        config.loadFrom(path, launch);
        QCOMPARE(config.api, QStringLiteral("http://127.0.0.1:8002"));
        QCOMPARE(config.restful, QString(UrlConfig::defaultApi)); // RESTful has its own key
        QCOMPARE(config.mainRoom, QString(UrlConfig::defaultMainRoom));
        QCOMPARE(launch.webMode, QStringLiteral("production"));
    }

    // A file that cannot be read is warned about; the addresses it lacks keep their defaults.
    void unreadableFileIsWarnedAbout()
    {
        const QString path = writeIni(dir, QByteArray("\xff\xfe\0[URL]\nApi=http://127.0.0.1:8002\n", 35));
        UrlConfig config;
        LaunchInfo launch;
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable("UrlConfig::loadFrom cannot fully read " + path +
                                        " : it is not a valid ini file - missing values keep their defaults"));
        config.loadFrom(path, launch);
        QCOMPARE(config.mainRoom, QString(UrlConfig::defaultMainRoom));
        QCOMPARE(launch.webMode, QStringLiteral("production"));
    }

    void valuesKeepCommasAndUtf8()
    {
        const QString path = writeIni(dir, "[URL]\n"
                                           "MainRoom=http://127.0.0.1:8001/home?a=1,2\n"
                                           "Whiteboard=\"http://127.0.0.1:8004/wb?x=1,y\"\n"
                                           "WebServerMode=\xe6\xb5\x8b\xe8\xaf\x95\n");
        UrlConfig config;
        LaunchInfo launch;
        config.loadFrom(path, launch);
        QCOMPARE(config.mainRoom, QStringLiteral("http://127.0.0.1:8001/home?a=1,2"));
        QCOMPARE(config.whiteboard, QStringLiteral("http://127.0.0.1:8004/wb?x=1,y"));
        QCOMPARE(launch.webMode, QString::fromUtf8("测试"));
    }

    // Alternates are read from _1 upwards and stop at the first missing key, at most nine.
    void alternates_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("expected");
        QTest::newRow("none") << QList<int>{} << 0;
        QTest::newRow("gap after two") << QList<int>{1, 2, 4} << 2;
        QTest::newRow("starts at 2") << QList<int>{2, 3} << 0;
        QTest::newRow("nine") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 9;
        QTest::newRow("ten present, nine read") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 9;
    }

    void alternates()
    {
        QFETCH(QList<int>, present);
        QFETCH(int, expected);
        QByteArray text = "[URL]\n";
        for (int i : present) {
            text += QStringLiteral("Api_%1=http://127.0.0.1:%2\n").arg(i).arg(9000 + i).toUtf8();
            text += QStringLiteral("RESTful_%1=http://127.0.0.1:%2\n").arg(i).arg(9100 + i).toUtf8();
        }
        UrlConfig config;
        LaunchInfo launch;
        config.loadFrom(writeIni(dir, text), launch);

        QCOMPARE(config.apiAlternates.size(), expected);
        QCOMPARE(config.restfulAlternates.size(), expected);
        for (int i = 0; i < expected; ++i) {
            QCOMPARE(config.apiAlternates.at(i), QStringLiteral("http://127.0.0.1:%1").arg(9001 + i));
            QCOMPARE(config.restfulAlternates.at(i), QStringLiteral("http://127.0.0.1:%1").arg(9101 + i));
        }
    }

    void alternatesAreIndependent()
    {
        UrlConfig config;
        LaunchInfo launch;
        config.loadFrom(writeIni(dir, "[URL]\nApi_1=http://127.0.0.1:1\nRESTful_1=http://127.0.0.1:2\n"
                                      "RESTful_2=http://127.0.0.1:3\n"),
                        launch);
        QCOMPARE(config.apiAlternates, QStringList{QStringLiteral("http://127.0.0.1:1")});
        QCOMPARE(config.restfulAlternates,
                 (QStringList{QStringLiteral("http://127.0.0.1:2"), QStringLiteral("http://127.0.0.1:3")}));
    }

    // The process-wide object reads the file beside the program once and fills the application data's web
    // mode; afterwards its fields are plain values that callers (and tests) overwrite.
    void instanceIsOneObject()
    {
        UrlConfig* config = UrlConfig::instance();
        QVERIFY(config);
        QCOMPARE(UrlConfig::instance(), config);
        QVERIFY(!AppGlobalData::instance()->launch.webMode.isEmpty());
        config->api = QStringLiteral("http://127.0.0.1:8002");
        QCOMPARE(UrlConfig::instance()->api, QStringLiteral("http://127.0.0.1:8002"));
    }
};

ZM_TEST_MAIN_CORE(TestUrlConfig)
#include "tst_urlconfig.moc"
