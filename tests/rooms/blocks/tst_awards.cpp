#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/AwardSound.h"
#include "rooms/blocks/StarAwards.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/TranslucentDialog.h"

#include "platform/Compositing.h"

#include "CompositorStandIn.h"
#include "RoomTestSupport.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QAbstractAnimation>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

using RoomTest::child;
using RoomTest::ManualClock;

namespace {

// A sound the test drives: it records what it was asked to play and reports what the test tells it to.
class FakeSound : public AwardSound
{
public:
    void play(const QString& filePath) override
    {
        played << filePath;
        m_duration = 0;
    }
    void stop() override { ++stops; }
    qint64 duration() const override { return m_duration; }

    void reportDuration(qint64 ms)
    {
        m_duration = ms;
        emit durationChanged(ms);
    }
    void reportPosition(qint64 ms) { emit positionChanged(ms); }
    void reportEnd() { emit reachedEnd(); }
    void fail() { emit error(QMediaPlayer::ResourceError); }

    QStringList played;
    int stops = 0;

private:
    qint64 m_duration = 0;
};

QString lit(const QWidget& card, int star)
{
    return child(card, qPrintable(QStringLiteral("star_%1").arg(star)))->styleSheet();
}

} // namespace

class TestAwards : public QObject
{
    Q_OBJECT

private:
    // An animation sized as the member list sizes it, with a fake sound; the visual part is already over (its
    // groups driven to their end) and the sound has just been asked to play.
    struct SoundPhase
    {
        AwardAnimation animation;
        FakeSound* sound = new FakeSound;
        QSignalSpy finished{&animation, &AwardAnimation::sigAnimationFinished};

        SoundPhase()
        {
            animation.setSound(sound);
            animation.setSoundFile("/nowhere/flying_star.mp3");
            animation.setFixedSize(800, 800 * 9 / 16 + 64);
            animation.start("Lily", QString(), 2);
            auto* whole = animation.findChild<QAbstractAnimation*>("whole");
            whole->setCurrentTime(whole->totalDuration());
        }
        QTimer* guard() { return animation.findChild<QTimer*>("soundGuard"); }
    };

private slots:
    void translucentDialogHasNoFrameNorBackground()
    {
        auto* owner = new QWidget;
        QPointer<TranslucentDialog> dialog = new TranslucentDialog(owner);
        QCOMPARE(dialog->windowFlags(), Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!dialog->testAttribute(Qt::WA_NoSystemBackground));
        QCOMPARE(dialog->styleSheet(), QStringLiteral("QDialog { background-color: transparent; }"));
        delete owner;
        QVERIFY(dialog.isNull());
    }

    // Without a compositing manager an award card's dialog paints what lay beneath it where its children leave
    // room, instead of black; with one it stays see-through.
    void translucentDialogBackdrop_data()
    {
        QTest::addColumn<bool>("compositor");
        QTest::newRow("no compositing manager: the screen beneath") << false;
        QTest::newRow("a compositing manager: see-through") << true;
    }

    void translucentDialogBackdrop()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display");
        QFETCH(bool, compositor);
        std::unique_ptr<ZmTest::CompositorStandIn> standIn;
        if (compositor) {
            standIn = std::make_unique<ZmTest::CompositorStandIn>();
            QVERIFY(standIn->owns());
        } else if (Platform::compositingManagerRunning()) {
            QSKIP("a compositing manager runs on this display");
        }
        const QColor beneathColour(200, 40, 40);
        QWidget beneath;
        QPalette palette = beneath.palette();
        palette.setColor(QPalette::Window, beneathColour);
        beneath.setPalette(palette);
        beneath.setAutoFillBackground(true);
        beneath.setGeometry(100, 100, 400, 300);
        beneath.show();
        QVERIFY(QTest::qWaitForWindowExposed(&beneath, ZmTest::kWaitMs));

        TranslucentDialog dialog(&beneath);
        dialog.setBackdropWithoutCompositor(true);
        auto* card = new QLabel(&dialog);
        card->setStyleSheet(QStringLiteral("background-color: rgb(40, 40, 200);"));
        card->setGeometry(0, 0, 100, 100);
        dialog.setGeometry(QRect(beneath.mapToGlobal(QPoint(0, 0)), beneath.size()));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        QCOMPARE(dialog.backdrop().isNull(), compositor);

        const auto pixelAt = [&dialog](int x, int y) {
            return QColor(ZmTest::grabScreenArea(QRect(dialog.mapToGlobal(QPoint(x, y)), QSize(1, 1))).pixel(0, 0));
        };
        QTRY_COMPARE(pixelAt(50, 50), QColor(40, 40, 200));
        if (compositor)
            QVERIFY(pixelAt(300, 200) != beneathColour);
        else
            QCOMPARE(pixelAt(300, 200), beneathColour);
        dialog.hide();
        QVERIFY(dialog.backdrop().isNull());
    }

    void starClicksPassAtMostOncePerWindow_data()
    {
        QTest::addColumn<QList<int>>("pressesAtMs");
        QTest::addColumn<int>("emitted");
        QTest::newRow("1000 ms apart") << QList<int>{0, 1000} << 1;
        QTest::newRow("1001 ms apart") << QList<int>{0, 1001} << 2;
        // A refused press does not restart the window.
        QTest::newRow("steady clicking") << QList<int>{0, 600, 1001, 1500, 2002} << 3;
    }

    void starClicksPassAtMostOncePerWindow()
    {
        QFETCH(QList<int>, pressesAtMs);
        QFETCH(int, emitted);
        ManualClock clock;
        QWidget tile;
        StarDialog star(&tile);
        QSignalSpy clicked(&star, &StarDialog::sigUserStarClicked);
        qint64 at = 0;
        for (int press : pressesAtMs) {
            clock.advance(press - at);
            at = press;
            QTest::mousePress(&star, Qt::LeftButton);
            QTest::mouseRelease(&star, Qt::LeftButton);
        }
        QCOMPARE(clicked.count(), emitted);
    }

    void fiveStarsTakeClicksAway_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("4") << 4 << true;
        QTest::newRow("5") << 5 << false;
        QTest::newRow("7") << 7 << false;
    }

    void fiveStarsTakeClicksAway()
    {
        QFETCH(int, count);
        QFETCH(bool, enabled);
        QWidget tile;
        StarDialog star(&tile);
        star.setStarCount(count);
        QCOMPARE(child<QLabel>(star, "starLabel")->text(), QString::number(count));
        QCOMPARE(star.isEnabled(), enabled);
        star.EnableClick(true);
        QCOMPARE(star.isEnabled(), enabled);
        star.EnableClick(false);
        QVERIFY(!star.isEnabled());
        star.EnableClick();
        QCOMPARE(star.isEnabled(), enabled);
    }

    void hoverGrowsTheStarOnlyWhenEnabled()
    {
        QWidget tile;
        StarDialog star(&tile);
        QWidget* icon = child(star, "starIcon");
        const QRect rest(29, 3, 32, 32);
        QCOMPARE(icon->geometry(), rest);
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&star, &enter);
        QCOMPARE(icon->geometry(), QRect(26, 0, 38, 38));
        // Taking clicks away puts the star back at rest; hovering then does not grow it.
        star.EnableClick(false);
        QCOMPARE(icon->geometry(), rest);
        QApplication::sendEvent(&star, &enter);
        QCOMPARE(icon->geometry(), rest);
        star.EnableClick(true);
        QApplication::sendEvent(&star, &enter);
        QApplication::sendEvent(&star, &leave);
        QCOMPARE(icon->geometry(), rest);
    }

    void starButtonFollowsItsTilesCorner()
    {
        QWidget tile;
        tile.setGeometry(200, 150, 400, 300);
        tile.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tile, ZmTest::kWaitMs));
        StarDialog star(&tile);
        star.onWindowRSizeMove();
        const QPoint topLeft = tile.mapToGlobal(QPoint(0, 0));
        QCOMPARE(star.pos(), QPoint(topLeft.x() + 400 - 64 - 10, topLeft.y() + 10));
        star.setVisibleByOpacity(false);
        QCOMPARE(star.windowOpacity(), 0.0);
        QCOMPARE(star.size(), QSize(64, 38));
        star.setVisibleByOpacity(true);
        QCOMPARE(star.windowOpacity(), 1.0);
    }

    void cardLightsAtMostFiveStars_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stored");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("two") << 2 << 2;
        QTest::newRow("five") << 5 << 5;
        QTest::newRow("seven") << 7 << 5;
        QTest::newRow("negative") << -1 << 0;
    }

    void cardLightsAtMostFiveStars()
    {
        QFETCH(int, count);
        QFETCH(int, stored);
        StarAwards card;
        card.setStarCount(count);
        QCOMPARE(card.starCount(), stored);
        for (int star = 1; star <= 5; ++star)
            QVERIFY2(lit(card, star).contains(star <= stored ? "star_bright.png" : "star_grey.png"),
                     qPrintable(QString::number(star)));
        // The next star lands in the slot after the lit ones.
        QCOMPARE(card.nextStarPos(), QPoint(96 + 33 * stored, 165));
    }

    void cardShowsNameAndPortrait()
    {
        StarAwards card;
        card.setUserName("Lily");
        QCOMPARE(child<QLabel>(card, "label_name")->text(), QStringLiteral("Lily"));
        card.setPortrait(":/res/student_default.png");
        QVERIFY(!child<QLabel>(card, "portrait")->pixmap(Qt::ReturnByValue).isNull());
        card.setPortrait("/nowhere/portrait.png");
        QVERIFY(child<QLabel>(card, "portrait")->pixmap(Qt::ReturnByValue).isNull());
    }

    // The card pops up in the middle, the star shows once the fade-in is done and lands on the slot after the
    // student's stars.
    void animationPopsTheCardThenFliesTheStar()
    {
        AwardAnimation animation;
        auto* sound = new FakeSound;
        animation.setSound(sound);
        const int W = 800;
        const int H = W * 9 / 16 + 64;
        animation.setFixedSize(W, H);
        animation.start("Lily", ":/res/student_default.png", 2);
        auto* whole = animation.findChild<QAbstractAnimation*>("whole");
        QVERIFY(whole);
        QCOMPARE(whole->state(), QAbstractAnimation::Running);
        QCOMPARE(whole->totalDuration(), 1200);
        whole->pause();

        QWidget* card = child(animation, "awards");
        QWidget* star = child(animation, "flying_star");
        auto* picture = child<QLabel>(animation, "label");
        QVERIFY(!card->isVisibleTo(&animation));
        QCOMPARE(picture->pixmap(Qt::ReturnByValue).size(), QSize(356, 249));
        const QPoint centre(W / 2, H / 2);

        whole->setCurrentTime(999);
        QVERIFY(!star->isVisibleTo(&animation));
        whole->setCurrentTime(1000);
        QVERIFY(star->isVisibleTo(&animation));
        QCOMPARE(picture->geometry(), QRect(centre.x() - 356 / 2, centre.y() - 249 / 2, 356, 249));
        QCOMPARE(star->geometry(), QRect(0, H / 2, W, W));
        QVERIFY(sound->played.isEmpty());

        whole->setCurrentTime(1200);
        const QPoint slot3 = QPoint(centre.x() - 356 / 2, centre.y() - 249 / 2) + QPoint(96 + 2 * 33, 165);
        QCOMPARE(star->geometry(), QRect(slot3, QSize(33, 33)));
        QCOMPARE(whole->state(), QAbstractAnimation::Stopped);
        // The visual part is over: the sound plays.
        QCOMPARE(sound->played, QStringList{animation.soundFile()});
        QVERIFY(animation.soundFile().endsWith("/sounds/flying_star.mp3"));
    }

    void soundEndFinishesTheAwardOnce()
    {
        SoundPhase phase;
        QCOMPARE(phase.sound->played.size(), 1);
        // A first report before the length is known does not end it.
        phase.sound->reportPosition(0);
        phase.sound->reportDuration(800);
        phase.sound->reportPosition(400);
        QCOMPARE(phase.finished.count(), 0);
        phase.sound->reportPosition(800);
        QCOMPARE(phase.finished.count(), 1);
        QVERIFY(!phase.guard()->isActive());
        phase.sound->reportPosition(800);
        phase.sound->reportEnd();
        phase.sound->fail();
        QCOMPARE(phase.finished.count(), 1);
    }

    void reachingTheEndFinishesTheAward()
    {
        SoundPhase phase;
        phase.sound->reportDuration(800);
        phase.sound->reportPosition(700);
        phase.sound->reportEnd();
        QCOMPARE(phase.finished.count(), 1);
    }

    void soundErrorEndsTheAwardAfterTheGuard()
    {
        SoundPhase phase;
        phase.sound->fail();
        QCOMPARE(phase.finished.count(), 0);
        QVERIFY(phase.guard()->isActive());
        QCOMPARE(phase.guard()->interval(), 1300);
        // A second error does not move the end.
        phase.sound->fail();
        QCOMPARE(phase.guard()->interval(), 1300);
        RoomTest::fire(phase.guard());
        QCOMPARE(phase.finished.count(), 1);
    }

    // A sound that stalls without an error ends the award its length plus the guard after it started.
    void stalledSoundEndsTheAwardAfterItsLengthAndTheGuard()
    {
        ManualClock clock;
        SoundPhase phase;
        QVERIFY(phase.guard()->isActive());
        QCOMPARE(phase.guard()->interval(), AwardAnimation::kUnknownSoundLengthMs + 1300);
        clock.advance(200);
        phase.sound->reportDuration(1149);
        QCOMPARE(phase.guard()->interval(), 1149 + 1300 - 200);
        phase.sound->reportPosition(300);
        QCOMPARE(phase.finished.count(), 0);
        RoomTest::fire(phase.guard());
        QCOMPARE(phase.finished.count(), 1);
    }

    void animationCanRunAgain()
    {
        SoundPhase phase;
        phase.sound->reportEnd();
        QCOMPARE(phase.finished.count(), 1);
        phase.animation.start("Max", QString(), 4);
        auto* whole = phase.animation.findChild<QAbstractAnimation*>("whole");
        QCOMPARE(whole->state(), QAbstractAnimation::Running);
        QCOMPARE(whole->totalDuration(), 1200);
        whole->setCurrentTime(whole->totalDuration());
        QCOMPARE(phase.sound->played.size(), 2);
        // Reports left over from the first sound do not end the second award early.
        phase.sound->reportPosition(800);
        QCOMPARE(phase.finished.count(), 1);
        phase.sound->reportDuration(500);
        phase.sound->reportPosition(500);
        QCOMPARE(phase.finished.count(), 2);
    }

    void deletedWhilePlayingLeavesNothingRunning()
    {
        auto* animation = new AwardAnimation;
        QPointer<FakeSound> sound = new FakeSound;
        animation->setSound(sound);
        animation->setFixedSize(640, 424);
        animation->start("Lily", QString(), 0);
        QTest::qWait(50);
        QCOMPARE(animation->findChild<QAbstractAnimation*>("whole")->state(), QAbstractAnimation::Running);
        delete animation;
        // The sound goes with it; the event loop then runs on without anything of it left.
        QVERIFY(sound.isNull());
        QTest::qWait(50);
    }

    // The award with the real player: the sound built beside the program plays to its end (or, without an audio
    // output, fails and the guard ends the award); a missing sound ends it through the guard.
    void realSoundEndsTheAward_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("built sound") << ZmTest::programDir() + "/sounds/flying_star.mp3";
        QTest::newRow("missing sound") << ZmTest::programDir() + "/sounds/missing.mp3";
    }

    void realSoundEndsTheAward()
    {
        QFETCH(QString, file);
        if (file.endsWith("flying_star.mp3"))
            QVERIFY2(QFile::exists(file), qPrintable(file));
        AwardAnimation animation;
        animation.setSoundFile(file);
        animation.setFixedSize(640, 640 * 9 / 16 + 64);
        QSignalSpy finished(&animation, &AwardAnimation::sigAnimationFinished);
        animation.start("Lily", QString(), 1);
        QTRY_COMPARE(finished.count(), 1);
        ZmTest::letTimersFire(200);
        QCOMPARE(finished.count(), 1);
    }
};

ZM_TEST_MAIN(TestAwards)
#include "tst_awards.moc"
