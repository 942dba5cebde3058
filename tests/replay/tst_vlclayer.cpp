#include "replay/vlc/VlcCommon.h"
#include "replay/vlc/VlcInstance.h"
#include "replay/vlc/VlcMedia.h"
#include "replay/vlc/VlcMediaPlayer.h"
#include "replay/vlc/VlcWidgetVideo.h"

#include "LogCapture.h"
#include "ReplayTestSupport.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

// The states a player delivered, as state() read them while each change was delivered.
class StateRecorder : public QObject
{
    Q_OBJECT

public:
    explicit StateRecorder(VlcMediaPlayer& player)
        : m_player(player)
    {
        connect(&player, &VlcMediaPlayer::stateChanged, this, &StateRecorder::record);
    }

    QList<int> states;

private slots:
    void record() { states.append(m_player.state()); }

private:
    VlcMediaPlayer& m_player;
};

} // namespace

class TestVlcLayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(ZmTest::makeTestVideo(video(), 3, &error), qPrintable(error));
        ZmTest::prepareVlc();
        m_instance = std::make_unique<VlcInstance>(VlcCommon::args());
        QVERIFY(m_instance->isValid());
    }

    void cleanupTestCase() { m_instance.reset(); }

    void tellsAddressesFromLocalFiles_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("address");

        QTest::newRow("http") << "http://127.0.0.1:8080/files/t.mp4" << true;
        QTest::newRow("https") << "https://cdn.example/v/1.mp4?sign=a://b" << true;
        QTest::newRow("file address") << "file:///tmp/t.mp4" << true;
        QTest::newRow("absolute path") << "/tmp/a video.mp4" << false;
        QTest::newRow("relative path") << "videos/t.mp4" << false;
        QTest::newRow("drive letter") << "C://videos/t.mp4" << false;
        QTest::newRow("colon in a file name") << "/tmp/at 10:00 ://x.mp4" << false;
    }

    void tellsAddressesFromLocalFiles()
    {
        QFETCH(QString, location);
        QFETCH(bool, address);
        QCOMPARE(VlcMedia::isAddress(location), address);
    }

    void pluginPathMustHoldPlugins_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("missing folder") << QStringList{} << false;
        QTest::newRow("empty folder") << QStringList{QStringLiteral("readme.txt")} << false;
        QTest::newRow("plug-ins in sub-folders") << QStringList{QStringLiteral("codec/libavcodec_plugin.so")} << true;
    }

    void pluginPathMustHoldPlugins()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, accepted);

        const QByteArray before = qgetenv("VLC_PLUGIN_PATH");
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/plugins");
        for (const QString& file : files)
            QVERIFY(ZmTest::writeFile(path + '/' + file, "x"));

        QCOMPARE(VlcCommon::setPluginPath(path), accepted);
        QCOMPARE(qgetenv("VLC_PLUGIN_PATH"), accepted ? path.toLocal8Bit() : before);
        qunsetenv("VLC_PLUGIN_PATH");
        if (!before.isEmpty())
            qputenv("VLC_PLUGIN_PATH", before);
    }

    // The listener runs only after libvlc has already opened the file and plays it, and still sees every state
    // in order; the stop libvlc adds after the end is no change.
    void deliversEveryStateInOrderToALateListener()
    {
        VlcMediaPlayer player(m_instance.get());
        StateRecorder recorder(player);
        VlcMedia media(video(), m_instance.get());
        QCOMPARE(media.duration(), qint64(-1));

        player.open(&media);
        QThread::msleep(1500);
        QCOMPARE(player.state(), Vlc::Idle);
        QTRY_VERIFY(recorder.states.contains(Vlc::Playing));
        QCOMPARE(recorder.states, (QList<int>{Vlc::Opening, Vlc::Playing}));
        QCOMPARE(media.duration(), qint64(3000));
        QCOMPARE(player.length(), qint64(3000));

        QTRY_VERIFY(recorder.states.contains(Vlc::Ended));
        QTest::qWait(300);
        QCOMPARE(recorder.states, (QList<int>{Vlc::Opening, Vlc::Playing, Vlc::Ended}));
        QCOMPARE(player.state(), Vlc::Ended);
    }

    void pauseNeverResumes()
    {
        VlcMediaPlayer player(m_instance.get());
        StateRecorder recorder(player);
        VlcMedia media(video(), m_instance.get());
        player.open(&media);
        QTRY_COMPARE(player.state(), Vlc::Playing);

        player.pause();
        QTRY_COMPARE(player.state(), Vlc::Paused);
        const int pausedAt = player.time();
        player.pause();
        player.pause();
        QTest::qWait(400);
        QCOMPARE(player.state(), Vlc::Paused);
        QCOMPARE(player.time(), pausedAt);
        QCOMPARE(recorder.states, (QList<int>{Vlc::Opening, Vlc::Playing, Vlc::Paused}));

        player.play();
        QTRY_COMPARE(player.state(), Vlc::Playing);
        player.stop();
        QTRY_COMPARE(player.state(), Vlc::Stopped);
    }

    void reportsAFileItCannotOpenAsAnError()
    {
        VlcMediaPlayer player(m_instance.get());
        StateRecorder recorder(player);
        VlcMedia media(m_dir.filePath(QStringLiteral("missing.mp4")), m_instance.get());
        player.open(&media);
        QTRY_COMPARE(player.state(), Vlc::Error);
        QTest::qWait(300);
        QCOMPARE(recorder.states, (QList<int>{Vlc::Opening, Vlc::Error}));
    }

    // Opening again after the end makes the player idle with its medium until it plays.
    void opensOnlyAfterTheEnd()
    {
        VlcMediaPlayer player(m_instance.get());
        StateRecorder recorder(player);
        VlcMedia media(video(), m_instance.get());
        player.open(&media);
        QTRY_COMPARE(player.state(), Vlc::Playing);
        player.setTime(2700);
        QTRY_COMPARE(player.state(), Vlc::Ended);

        player.openOnly(&media);
        QTRY_COMPARE(player.state(), Vlc::Idle);
        QTest::qWait(300);
        QCOMPARE(player.state(), Vlc::Idle);
        QCOMPARE(player.currentMedia(), &media);
        player.play();
        QTRY_COMPARE(player.state(), Vlc::Playing);
        QCOMPARE(recorder.states.mid(recorder.states.indexOf(Vlc::Ended)),
                 (QList<int>{Vlc::Ended, Vlc::Idle, Vlc::Opening, Vlc::Playing}));
    }

    void drawsIntoTheWidgetsWindow()
    {
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: #000000;"));
        window.resize(400, 300);
        auto* surface = new VlcWidgetVideo(&window);
        surface->setGeometry(40, 30, 320, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, ZmTest::kWaitMs));
        QVERIFY(surface->internalWinId() != 0);
        QTRY_COMPARE(ZmTest::coloursOnScreen(*surface).size(), 1);

        VlcMediaPlayer player(m_instance.get());
        player.setVideoWidget(surface);
        surface->setMediaPlayer(&player);
        VlcMedia media(video(), m_instance.get());
        player.open(&media);
        QTRY_COMPARE(player.state(), Vlc::Playing);
        QTRY_VERIFY(ZmTest::coloursOnScreen(*surface).size() > 6);
        player.stop();
    }

    void passesLibvlcMessagesFromItsLevelOn_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("logged");
        QTest::newRow("errors") << int(Vlc::ErrorLevel) << true;
        QTest::newRow("disabled") << int(Vlc::DisabledLevel) << false;
    }

    void passesLibvlcMessagesFromItsLevelOn()
    {
        QFETCH(int, level);
        QFETCH(bool, logged);

        // Made first, so that it outlives libvlc's threads, which log into it; it counts from the level on.
        ZmTest::LogCapture log;
        VlcInstance instance(VlcCommon::args());
        instance.setLogLevel(static_cast<Vlc::LogLevel>(level));
        log.clear();
        {
            VlcMediaPlayer player(&instance);
            VlcMedia media(m_dir.filePath(QStringLiteral("missing.mp4")), &instance);
            player.open(&media);
            QTRY_COMPARE(player.state(), Vlc::Error);
        }
        QCOMPARE(log.linesContaining(QStringLiteral("libvlc:")).isEmpty(), !logged);
    }

private:
    QString video() const { return m_dir.filePath(QStringLiteral("bars-3s.mp4")); }

    QTemporaryDir m_dir;
    std::unique_ptr<VlcInstance> m_instance;
};

ZM_TEST_MAIN(TestVlcLayer)
#include "tst_vlclayer.moc"
