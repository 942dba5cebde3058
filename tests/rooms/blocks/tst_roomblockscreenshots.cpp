#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/RaiseHandWidget.h"
#include "rooms/blocks/RoomBlocksResources.h"
#include "rooms/blocks/StarAwards.h"
#include "rooms/blocks/StarDialog.h"
#include "rooms/blocks/UserItemWidget.h"
#include "rooms/blocks/UserListCtrl.h"
#include "rooms/blocks/UserListWidget.h"
#include "rooms/blocks/VideoDisplayWidget.h"

#include "RoomTestSupport.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QAbstractAnimation>
#include <QDir>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

using RoomTest::child;
using RoomTest::Lesson;

namespace {

// A stand-in for a camera picture, painted where the engine would render.
QPixmap cameraPicture(QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(92, 124, 150));
    sky.setColorAt(1, QColor(40, 56, 70));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(235, 200, 170));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(size.width() / 2, size.height() * 2 / 5), size.height() / 6, size.height() / 5);
    painter.setBrush(QColor(60, 90, 140));
    painter.drawEllipse(QPoint(size.width() / 2, size.height()), size.width() / 4, size.height() * 2 / 5);
    return picture;
}

} // namespace

// Renders the room building blocks in their looks to PNGs under <build>/screenshots/ for a person to look at.
class TestRoomBlockScreenshots : public QObject
{
    Q_OBJECT

private:
    static void save(QWidget& widget, const QString& name) { ZmTest::showAndSaveScreenshot(widget, name); }

    // A window of the room's background colour around the widget under test.
    static void paintAsRoom(QWidget& room, QSize size, QColor colour = QColor(36, 49, 56))
    {
        room.setObjectName("room");
        room.setStyleSheet(QStringLiteral("QWidget#room{background-color: %1;}").arg(colour.name()));
        room.resize(size);
    }

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ZmTest::screenshotDir())); }

    void videoTileLooks_data()
    {
        QTest::addColumn<QString>("look");
        QTest::newRow("cover, offline") << "offline";
        QTest::newRow("video, talking") << "talking";
        QTest::newRow("video, silent microphone") << "silent";
        QTest::newRow("video, microphone off") << "micoff";
        QTest::newRow("status text") << "status";
    }

    void videoTileLooks()
    {
        QFETCH(QString, look);
        QWidget room;
        paintAsRoom(room, QSize(340, 260));
        auto* tile = new VideoDisplayWidget(&room);
        tile->setGeometry(10, 10, 320, 240);
        tile->setUserImage(":/res/student_default.png");
        tile->setUserName("Lily Chen");
        tile->setUserNameVisible(true);
        child<QLabel>(*tile, "userVideo")->setPixmap(cameraPicture(QSize(320, 240)));
        if (look == "offline") {
            tile->setUserOnline(true);
            tile->setOfflineLabelVisible(true);
        } else if (look == "status") {
            tile->setUserOnline(true);
            tile->setOfflineLabelVisible(false);
            tile->setStatusText("Reseting...");
        } else {
            tile->setUserOnline(false);
            tile->setControlChecked(true);
            tile->setMicChecked(look != "micoff");
            tile->setMicVolume(look == "talking" ? 180 : 0);
        }
        save(room, "VideoDisplayWidget_" + look);
    }

    void starButton()
    {
        QWidget tile;
        tile.setStyleSheet("background-color: rgb(60, 80, 100);");
        tile.resize(120, 60);
        StarDialog star(&tile);
        star.setStarCount(3);
        save(star, "StarDialog");
    }

    void memberList_data()
    {
        QTest::addColumn<int>("localRole");
        QTest::newRow("teacher client") << 2;
        QTest::newRow("student client") << 1;
    }

    void memberList()
    {
        QFETCH(int, localRole);
        Lesson lesson(localRole);
        AppGlobalData::instance()->teacherPresent = true;
        Lesson::addStudent(7, "Lily Chen", 3, 3);
        Lesson::addStudent(8, "Max", 1, 1);
        Lesson::addStudent(9, "Ann", 0, 0);
        Lesson::addStudent(10, "Alexandrina Konstantinopoulou", 5, 5);
        Lesson::addStudent(11, "Tom", 2, 2);
        QWidget holder;
        holder.resize(291, 409);
        auto* panel = new UserListWidget(&holder);
        UserListCtrl control;
        control.init(panel, nullptr);
        QVector<TalkListEntry> talk{{8, 2}, {7, 1}, {10, 2}, {11, 1}};
        applyTalkList(*AppGlobalData::instance()->memberMap(), talk);
        control.onStudentsTalkInfoChanged();
        control.setUserVolume(8, 200);
        control.setUserVolume(10, 90);
        control.setUserVolume(100, 150);
        save(holder, localRole == 2 ? "UserListWidget_teacher" : "UserListWidget_student");
    }

    void raiseHand_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("hand down") << 0;
        QTest::newRow("countdown") << 1;
        QTest::newRow("microphone open") << 2;
    }

    void raiseHand()
    {
        QFETCH(int, state);
        QWidget room;
        paintAsRoom(room, QSize(130, 140));
        auto* widget = new RaiseHandWidget(&room);
        widget->setGeometry(10, 5, 110, 129);
        if (state == BtnIcon_Raised) {
            widget->setBtnIconType(BtnIcon_Raised, false);
            widget->startCountdown(60);
            widget->updateCountdown(15);
        } else {
            widget->setBtnIconType(BtnIconType(state), true);
        }
        save(room, QStringLiteral("RaiseHandWidget_%1").arg(state));
    }

    void awardCardAndFlight()
    {
        StarAwards card;
        card.setUserName("Lily Chen");
        card.setPortrait(":/res/student_default.png");
        card.setStarCount(2);
        save(card, "StarAwards");

        QWidget room;
        paintAsRoom(room, QSize(700, 700 * 9 / 16 + 64), QColor(240, 242, 245));
        auto* animation = new AwardAnimation(&room);
        animation->setFixedSize(room.size());
        animation->start("Lily Chen", ":/res/student_default.png", 2);
        auto* whole = animation->findChild<QAbstractAnimation*>("whole");
        whole->pause();
        whole->setCurrentTime(1150);
        save(room, "AwardAnimation_flight");
    }

    void pictures()
    {
        RoomBlocksResources::ensureLoaded();
        const QStringList paths{":/imageRes/image/res/Mic1.png",
                                ":/imageRes/image/res/Mic1D.png",
                                ":/imageRes/image/res/Mic1M.png",
                                ":/imageRes/image/res/Pan1.png",
                                ":/imageRes/image/res/Pan1D.png",
                                ":/imageRes/image/res/AudioVolume_Mask.bmp",
                                ":/imageRes/image/res/starCountBG.png",
                                ":/imageRes/image/res/star38.png",
                                ":/imageRes/image/res/star_bright.png",
                                ":/imageRes/image/res/star_grey.png",
                                ":/imageRes/image/res/award_background.png",
                                ":/imageRes/image/res/star_label.png",
                                ":/imageRes/image/res/star_button.png",
                                ":/imageRes/image/res/star_button_hilight.png",
                                ":/imageRes/image/res/tilte_hand.png",
                                ":/imageRes/image/res/micphone.png",
                                ":/imageRes/image/res/micphone_bright.png",
                                ":/imageRes/image/res/micphone_mute.png",
                                ":/imageRes/image/res/micphone_mute_bright.png",
                                ":/imageRes/image/res/volume_progress.bmp",
                                ":/buttons/res/itemBg.png",
                                ":/buttons/res/hand.png",
                                ":/buttons/res/teacher_label.png",
                                ":/buttons/res/raise_hand.png",
                                ":/buttons/res/raise_hand_hover.png",
                                ":/buttons/res/talking.png",
                                ":/buttons/res/talking_hover.png",
                                ":/buttons/res/raise_hand_mask.png",
                                ":/buttons/res/bear.png",
                                ":/res/student_default.png",
                                ":/res/teacher_default.png"};
        for (const QString& path : paths)
            QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
        QVERIFY(QFile::exists(ZmTest::programDir() + "/sounds/joined.wav"));
        QVERIFY(QFile::exists(ZmTest::programDir() + "/sounds/flying_star.mp3"));
    }
};

ZM_TEST_MAIN(TestRoomBlockScreenshots)
#include "tst_roomblockscreenshots.moc"
