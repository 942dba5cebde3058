#include "replay/controllers/VlcReplayCtrl.h"

#include "app/records/UserInfo.h"
#include "replay/vlc/VlcCommon.h"
#include "replay/vlc/VlcInstance.h"
#include "replay/vlc/VlcMediaPlayer.h"
#include "replay/vlc/VlcWidgetVideo.h"
#include "replay/widgets/VideoReplayWidget.h"

#include "ReplayTestSupport.h"
#include "Simulator.h"
#include "TestFiles.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

const QString studentPicture = QStringLiteral(":/imageRes/image/res/student2.png");
const QString teacherPicture = QStringLiteral(":/imageRes/image/res/teacher2.png");

QLabel* picture(VideoReplayWidget& tile)
{
    return tile.findChild<QLabel*>(QStringLiteral("user_image"));
}

QLabel* badge(VideoReplayWidget& tile)
{
    return tile.findChild<QLabel*>(QStringLiteral("user_name"));
}

// A shown tile with one video controller on it.
struct Replay
{
    QWidget window;
    VideoReplayWidget* tile = new VideoReplayWidget(&window);
    VlcReplayCtrl ctrl;
    QSignalSpy states{&ctrl, &ReplayCtrl::stateChanged};

    Replay()
    {
        window.resize(480, 360);
        tile->resize(480, 360);
        tile->setUserImage(QStringLiteral(":/imageRes/image/res/teacher2.png"));
        window.show();
    }

    VlcMediaPlayer* player() const { return ctrl.mediaPlayer(); }
    bool pictureShown() const { return picture(*tile)->isVisible(); }
};

} // namespace

class TestVlcReplayCtrl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(ZmTest::makeTestVideo(shortVideo(), 3, &error), qPrintable(error));
        QVERIFY2(ZmTest::makeTestVideo(longVideo(), 5, &error), qPrintable(error));
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        QRandomGenerator generator(28);
        for (char& byte : noise)
            byte = static_cast<char>(generator.bounded(256));
        QVERIFY(ZmTest::writeFile(m_dir.filePath(QStringLiteral("corrupt.mp4")), noise));
        QVERIFY2(m_simulator.start(), qPrintable(m_simulator.errorString()));
        m_videoAddress = m_simulator.putFile(QStringLiteral("replay/bars-5s.mp4"), ZmTest::readFile(longVideo()));
        QVERIFY(!m_videoAddress.isEmpty());
        ZmTest::prepareVlc();
    }

    void init() { QVERIFY(VlcReplayCtrl::createVlcInstance(nullptr)); }

    void cleanup() { VlcReplayCtrl::releaseVlcInstance(); }

    void sharesOneInstanceUntilItIsReleased()
    {
        VlcInstance* shared = VlcReplayCtrl::currentVlcInstance();
        QVERIFY(shared);
        QCOMPARE(VlcReplayCtrl::createVlcInstance(nullptr), shared);
        QCOMPARE(VlcReplayCtrl::currentVlcInstance(), shared);

        VlcReplayCtrl::releaseVlcInstance();
        QCOMPARE(VlcReplayCtrl::currentVlcInstance(), static_cast<VlcInstance*>(nullptr));
        Replay refused;
        const ReplayMediaInfo media{shortVideo(), 0, 0};
        QVERIFY(!refused.ctrl.init(refused.tile, &media, nullptr));
        QVERIFY(!refused.player());

        QVERIFY(VlcReplayCtrl::createVlcInstance(nullptr));
        Replay accepted;
        QVERIFY(accepted.ctrl.init(accepted.tile, &media, nullptr));
        QVERIFY(accepted.player());
    }

    void initNeedsAMediaRecordAndATile_data()
    {
        QTest::addColumn<bool>("withMedia");
        QTest::addColumn<bool>("withTile");
        QTest::newRow("no media record") << false << true;
        QTest::newRow("no tile") << true << false;
    }

    void initNeedsAMediaRecordAndATile()
    {
        QFETCH(bool, withMedia);
        QFETCH(bool, withTile);

        Replay replay;
        QObject notATile;
        const ReplayMediaInfo media{shortVideo(), 0, 3000};
        UserInfo pupil;
        pupil.accountType = 1;
        pupil.enNickName = QStringLiteral("Bo");

        QVERIFY(!replay.ctrl.init(withTile ? static_cast<QObject*>(replay.tile) : &notATile,
                                  withMedia ? &media : nullptr, &pupil));
        QVERIFY(!replay.player());
        QCOMPARE(picture(*replay.tile)->styleSheet(),
                 QStringLiteral("QLabel{border-image: url(%1);}").arg(teacherPicture));
        QCOMPARE(badge(*replay.tile)->text(), QString());
        QTest::qWait(200);
        QCOMPARE(replay.states.count(), 0);
        QVERIFY(replay.ctrl.seek(1000, false));
    }

    // Loading when the player opens, ready when it first plays: paused there, with the video's real length.
    void becomesReadyPausedWithTheVideosLength_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<bool>("lateListener");
        QTest::addColumn<int>("length");

        QTest::newRow("local file") << shortVideo() << false << 3000;
        QTest::newRow("local file, listener late") << shortVideo() << true << 3000;
        QTest::newRow("address") << m_videoAddress << false << 5000;
    }

    void becomesReadyPausedWithTheVideosLength()
    {
        QFETCH(QString, location);
        QFETCH(bool, lateListener);
        QFETCH(int, length);

        Replay replay;
        const ReplayMediaInfo media{location, 7000, 1234};
        QVERIFY(replay.ctrl.init(replay.tile, &media, nullptr));
        QCOMPARE(replay.ctrl.state(), ReplayerState_Initial);
        if (lateListener)
            QThread::msleep(1500);

        QTRY_COMPARE(replay.ctrl.state(), ReplayerState_Ready);
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 2}));
        QCOMPARE(replay.ctrl.mediaInfo().url, location);
        QCOMPARE(replay.ctrl.mediaInfo().start, 7000);
        QCOMPARE(replay.ctrl.mediaInfo().duration, length);
        QTRY_COMPARE(replay.player()->state(), Vlc::Paused);
        if (!lateListener)
            QVERIFY(replay.player()->time() < 1000);
        QVERIFY(replay.pictureShown());
    }

    void failsToLoadWhatCannotBePlayed_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QList<int>>("states");

        const QList<int> opened{1, 3};
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("missing.mp4")) << QString() << opened;
        QTest::newRow("corrupt file") << m_dir.filePath(QStringLiteral("corrupt.mp4")) << "length of .* is unknown"
                                      << opened;
        QTest::newRow("address not found")
            << m_simulator.url(QStringLiteral("/files/replay/missing.mp4")) << QString() << opened;
        QTest::newRow("no location") << QString() << "no video to open" << QList<int>{3};
    }

    // Announced after init returns, so that a listener connected after init hears it.
    void failsToLoadWhatCannotBePlayed()
    {
        QFETCH(QString, location);
        QFETCH(QString, logged);
        QFETCH(QList<int>, states);

        if (!logged.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(logged));
        Replay replay;
        const ReplayMediaInfo media{location, 0, 30000};
        QVERIFY(replay.ctrl.init(replay.tile, &media, nullptr));
        QCOMPARE(replay.ctrl.state(), ReplayerState_Initial);
        QTRY_COMPARE(replay.ctrl.state(), ReplayerState_LoadFailed);
        QTest::qWait(300);
        QCOMPARE(ZmTest::statesOf(replay.states), states);
        QCOMPARE(replay.ctrl.mediaInfo().duration, 30000);
    }

    void tileShowsTheMembersPictureAndName_data()
    {
        QTest::addColumn<bool>("withMember");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("englishName");
        QTest::addColumn<QString>("chineseName");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("name");

        QTest::newRow("pupil") << true << 1 << " Bo "
                               << "" << studentPicture << "Bo";
        QTest::newRow("teacher") << true << 2 << "Teacher Anna"
                                 << "" << teacherPicture << "Teacher Anna";
        QTest::newRow("no role") << true << 0 << "  " << QString::fromUtf8("\xe5\xae\x89\xe5\xa8\x9c") << teacherPicture
                                 << QString::fromUtf8("\xe5\xae\x89\xe5\xa8\x9c");
        QTest::newRow("no member") << false << 0 << ""
                                   << "" << teacherPicture << "";
    }

    void tileShowsTheMembersPictureAndName()
    {
        QFETCH(bool, withMember);
        QFETCH(int, role);
        QFETCH(QString, englishName);
        QFETCH(QString, chineseName);
        QFETCH(QString, picture);
        QFETCH(QString, name);

        Replay replay;
        UserInfo member;
        member.accountType = role;
        member.enNickName = englishName;
        member.cnNickName = chineseName;
        const ReplayMediaInfo media{shortVideo(), 0, 0};
        QVERIFY(replay.ctrl.init(replay.tile, &media, withMember ? &member : nullptr));
        QCOMPARE(::picture(*replay.tile)->styleSheet(), QStringLiteral("QLabel{border-image: url(%1);}").arg(picture));
        QCOMPARE(badge(*replay.tile)->text(), name);
    }

    // Outside [start, start + duration) the player pauses and the picture shows; inside it plays and the picture
    // goes once it does.
    void followsTheClockInsideItsStretchOnly_data()
    {
        QTest::addColumn<uint>("position");
        QTest::addColumn<bool>("inside");

        QTest::newRow("before the start") << 5000u << false;
        QTest::newRow("at the start") << 10000u << true;
        QTest::newRow("last millisecond") << 12999u << true;
        QTest::newRow("at the end") << 13000u << false;
        QTest::newRow("far after") << 4000000000u << false;
    }

    void followsTheClockInsideItsStretchOnly()
    {
        QFETCH(uint, position);
        QFETCH(bool, inside);

        Replay replay;
        QVERIFY(startReady(replay, shortVideo(), 10000));
        QCOMPARE(replay.ctrl.mediaInfo().duration, 3000);
        replay.ctrl.play(true);
        QVERIFY(replay.ctrl.seek(10500, false));
        QTRY_COMPARE(replay.player()->state(), Vlc::Playing);
        QTRY_VERIFY(!replay.pictureShown());

        QVERIFY(replay.ctrl.seek(position, false));
        QCOMPARE(replay.pictureShown(), !inside);
        if (!inside)
            QTRY_COMPARE(replay.player()->state(), Vlc::Paused);
        QCOMPARE(replay.ctrl.state(), ReplayerState_Ready);
    }

    // The player is moved only when it is more than 500 ms away from the clock.
    void movesThePlayerOnlyWhenItDriftsTooFar_data()
    {
        QTest::addColumn<int>("drift");
        QTest::addColumn<bool>("moved");

        QTest::newRow("500 ms ahead") << 500 << false;
        QTest::newRow("501 ms ahead") << 501 << true;
        QTest::newRow("500 ms behind") << -500 << false;
        QTest::newRow("501 ms behind") << -501 << true;
    }

    void movesThePlayerOnlyWhenItDriftsTooFar()
    {
        QFETCH(int, drift);
        QFETCH(bool, moved);

        Replay replay;
        QVERIFY(startReady(replay, longVideo(), 20000));
        replay.ctrl.seek(20000 + 2000, false);
        QTRY_COMPARE(replay.player()->time(), 2000);

        replay.ctrl.seek(20000 + 2000 + drift, false);
        if (moved) {
            QTRY_COMPARE(replay.player()->time(), 2000 + drift);
        } else {
            QTest::qWait(300);
            QCOMPARE(replay.player()->time(), 2000);
        }
        QCOMPARE(replay.player()->state(), Vlc::Paused);
    }

    // play(true) waits for the next seek inside the stretch; play(false) and stop() take effect at once, and a
    // stopped video is not played by later seeks.
    void playWishTakesEffectAtTheNextSeek()
    {
        Replay replay;
        QVERIFY(startReady(replay, longVideo(), 0));

        replay.ctrl.play(true);
        QTest::qWait(300);
        QCOMPARE(replay.player()->state(), Vlc::Paused);
        QVERIFY(replay.pictureShown());

        replay.ctrl.seek(100, false);
        QTRY_COMPARE(replay.player()->state(), Vlc::Playing);
        QTRY_VERIFY(!replay.pictureShown());

        replay.ctrl.play(false);
        QTRY_COMPARE(replay.player()->state(), Vlc::Paused);
        replay.ctrl.play(true);
        replay.ctrl.seek(replay.player()->time(), false);
        QTRY_COMPARE(replay.player()->state(), Vlc::Playing);

        replay.ctrl.stop();
        QTRY_COMPARE(replay.player()->state(), Vlc::Stopped);
        replay.ctrl.seek(1000, false);
        QTest::qWait(300);
        QCOMPARE(replay.player()->state(), Vlc::Stopped);
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 2}));
    }

    // A seek after the video ended opens it again and, when the replay plays, plays it from the clock.
    void reopensAfterTheEnd()
    {
        Replay replay;
        QVERIFY(startReady(replay, shortVideo(), 0));
        replay.ctrl.play(true);
        replay.ctrl.seek(2700, false);
        QTRY_COMPARE(replay.player()->state(), Vlc::Ended);

        replay.ctrl.seek(1000, false);
        QTRY_COMPARE(replay.player()->state(), Vlc::Playing);
        replay.ctrl.seek(1000, false);
        QTRY_VERIFY(replay.player()->time() >= 1000 && replay.player()->time() < 2500);
        QCOMPARE(replay.ctrl.state(), ReplayerState_Ready);
        QVERIFY(!replay.pictureShown());
        QCOMPARE(ZmTest::statesOf(replay.states), (QList<int>{1, 2}));
    }

    // On screen: the video while the clock is inside the stretch, the participant's picture over it outside.
    void pictureCoversTheVideoOnScreen()
    {
        Replay replay;
        QVERIFY(QTest::qWaitForWindowExposed(&replay.window, ZmTest::kWaitMs));
        QVERIFY(startReady(replay, longVideo(), 0));
        replay.ctrl.play(true);
        replay.ctrl.seek(200, false);
        QTRY_VERIFY(!replay.pictureShown());
        QTRY_VERIFY(ZmTest::coloursOnScreen(*replay.tile).size() > 6);

        replay.ctrl.seek(9000, false);
        QRgb corner = 0;
        QTRY_VERIFY((ZmTest::coloursOnScreen(*replay.tile, &corner), (corner & 0xFFFFFF) == 0x32454F));
        replay.ctrl.close();
        QTRY_COMPARE(replay.player()->state(), Vlc::Stopped);
    }

private:
    QString shortVideo() const { return m_dir.filePath(QStringLiteral("bars-3s.mp4")); }
    QString longVideo() const { return m_dir.filePath(QStringLiteral("bars-5s.mp4")); }

    // Ready, and the player paused at the beginning.
    bool startReady(Replay& replay, const QString& location, qint32 start)
    {
        const ReplayMediaInfo media{location, start, 0};
        if (!replay.ctrl.init(replay.tile, &media, nullptr))
            return false;
        return QTest::qWaitFor(
            [&replay] { return replay.ctrl.state() == ReplayerState_Ready && replay.player()->state() == Vlc::Paused; },
            ZmTest::kWaitMs);
    }

    QTemporaryDir m_dir;
    ZmTest::Simulator m_simulator;
    QString m_videoAddress;
};

ZM_TEST_MAIN(TestVlcReplayCtrl)
#include "tst_vlcreplayctrl.moc"
