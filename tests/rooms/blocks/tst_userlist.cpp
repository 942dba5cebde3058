#include "app/StringUtil.h"
#include "live/messages/ClassMsgProtocol.h"
#include "rooms/blocks/AwardAnimation.h"
#include "rooms/blocks/TranslucentDialog.h"
#include "rooms/blocks/UserItemPanel.h"
#include "rooms/blocks/UserItemWidget.h"
#include "rooms/blocks/UserListCtrl.h"
#include "rooms/blocks/UserListWidget.h"

#include "MessageServerFixture.h"
#include "RoomTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include <limits>

using RoomTest::child;
using RoomTest::Lesson;
using RoomTest::ManualClock;

using TalkEntries = QList<QPair<int, int>>; // (member, talk state) in list order

namespace {

constexpr char kSubmitPoints[] = "80000005";

// The member ids of the list's rows, top to bottom.
QList<int> rowOrder(const UserListWidget& panel)
{
    QList<int> ids;
    for (int i = 0; i < panel.listWidget()->count(); ++i) {
        auto* item = dynamic_cast<UserItemPanel*>(panel.listWidget()->item(i));
        ids << (item && item->widget() ? item->widget()->userId() : -1);
    }
    return ids;
}

QJsonObject talkList(const TalkEntries& entries)
{
    QJsonArray list;
    for (const auto& entry : entries)
        list.append(QJsonObject{{"userId", entry.first}, {"state", entry.second}});
    return QJsonObject{{"messageTag", ClassMsgTag_TalkList}, {"userInfoList", list}};
}

QJsonObject award(int studentId, int point, int total)
{
    return QJsonObject{{"messageTag", ClassMsgTag_TeacherCommand},
                       {"subTag", "award"},
                       {"teacherId", Lesson::kTeacherId},
                       {"toUserId", studentId},
                       {"point", point},
                       {"total", total}};
}

} // namespace

class TestUserList : public QObject
{
    Q_OBJECT

private:
    MessageServerFixture m_server;

    // The public room's member panel and the courseware the awards play over, with the list built from the
    // lesson's members: Lily 7, Max 8, Ann 9.
    struct Room
    {
        Lesson lesson;
        QWidget window;
        QWidget* courseware = new QWidget(&window);
        UserListWidget* panel = new UserListWidget(&window);
        UserListCtrl control;

        explicit Room(int localRole, bool teacherPresent = true)
            : lesson(localRole)
        {
            Lesson::addStudent(7, "Lily", 3, 3);
            Lesson::addStudent(8, "Max", 1, 1);
            Lesson::addStudent(9, "Ann", 0, 0);
            AppGlobalData::instance()->teacherPresent = teacherPresent;
            window.resize(1000, 600);
            courseware->setGeometry(0, 0, 700, 600);
            panel->setGeometry(700, 0, 291, 409);
        }

        UserItemWidget* row(int id) { return dynamic_cast<UserItemWidget*>(panel->findUserWidget(id)); }
        QString title() { return panel->title(); }
        QString titleStyle() { return child(*panel, "label_title")->styleSheet(); }
        bool handShown() { return child(*panel, "hand_icon")->isVisibleTo(panel); }
        // Applies a talk list as the message engine does, then tells the list.
        void talk(const TalkEntries& entries)
        {
            QVector<TalkListEntry> list;
            for (const auto& entry : entries)
                list.append(TalkListEntry{entry.first, entry.second});
            applyTalkList(*AppGlobalData::instance()->memberMap(), list);
            control.onStudentsTalkInfoChanged();
        }
    };

    // Ends the award now playing as its sound would, and waits for the next one (or the idle state).
    static void finishAward(UserListCtrl& control)
    {
        QPointer<AwardAnimation> playing = control.playingAward();
        QVERIFY(playing);
        emit playing->sigAnimationFinished();
        // Its deletion tells it from a next award made at the same address.
        QTRY_VERIFY(playing.isNull() && (control.playingAward() || control.queuedAwards().isEmpty()));
    }

private slots:
    void initTestCase() { QVERIFY2(m_server.start(), qPrintable(m_server.error())); }

    void init() { QVERIFY2(m_server.connectEngine(), qPrintable(m_server.error())); }

    void cleanup() { m_server.disconnectEngine(); }

    void buildsTheTeacherThenTheStudents()
    {
        Room room(2);
        UserInfo auditorTeacher;
        auditorTeacher.userId = "55";
        auditorTeacher.accountType = 2;
        AppGlobalData::instance()->addUser(auditorTeacher);
        QVERIFY(room.control.init(room.panel, room.courseware));
        QCOMPARE(rowOrder(*room.panel), (QList<int>{100, 9, 7, 8}));
        QCOMPARE(room.title(), QStringLiteral("Members (4)"));
        QVERIFY(room.row(100)->isTeacherRow());
        QCOMPARE(room.row(100)->talkState(), 2);
        QCOMPARE(room.row(7)->talkState(), 0);
        QCOMPARE(room.row(7)->shownName(), QStringLiteral("Lily"));
        QCOMPARE(child<QLabel>(*room.row(7), "label_star_num")->text(), QStringLiteral("3"));
        QVERIFY(!room.panel->findItem(55));
        QVERIFY(!room.control.syncAllUserInfo(nullptr, AppGlobalData::instance()->memberMap()));
    }

    void aClassWithoutStudentsCountsTheTeacher()
    {
        Lesson lesson(1);
        UserListWidget panel;
        UserListCtrl control;
        QVERIFY(control.init(&panel, nullptr));
        QCOMPARE(rowOrder(panel), QList<int>{100});
        QCOMPARE(panel.title(), QStringLiteral("Members (1)"));
    }

    void teacherRowShowsTheTeachersPresence_data()
    {
        QTest::addColumn<int>("localRole");
        QTest::addColumn<bool>("teacherPresent");
        QTest::addColumn<bool>("muted");
        QTest::newRow("student client, teacher absent") << 1 << false << true;
        QTest::newRow("student client, teacher present") << 1 << true << false;
        QTest::newRow("teacher client") << 2 << false << false;
    }

    void teacherRowShowsTheTeachersPresence()
    {
        QFETCH(int, localRole);
        QFETCH(bool, teacherPresent);
        QFETCH(bool, muted);
        Room room(localRole, teacherPresent);
        room.control.init(room.panel, room.courseware);
        UserItemWidget* teacher = room.row(100);
        QCOMPARE(teacher->isMicMuted(), muted);
        QCOMPARE(child(*teacher, "voiceIcon")->isVisibleTo(teacher), !muted);
        room.control.setUserMicMuted(100, false);
        QVERIFY(!teacher->isMicMuted());
        QVERIFY(child(*teacher, "voiceIcon")->isVisibleTo(teacher));
        // Members without a row are ignored.
        room.control.setUserMicMuted(4242, true);
        room.control.setUserVolume(4242, 255);
    }

    // Teacher first, then the talk list from its first entry down, then the others by their shown names.
    void ordersByTeacherTalkListAndName_data()
    {
        QTest::addColumn<TalkEntries>("entries");
        QTest::addColumn<QList<int>>("order");
        QTest::newRow("no talk list") << TalkEntries{} << QList<int>{100, 9, 7, 8};
        QTest::newRow("talking and raised hands") << TalkEntries{{8, 2}, {7, 1}} << QList<int>{100, 8, 7, 9};
        QTest::newRow("teacher listed last") << TalkEntries{{9, 1}, {7, 2}, {100, 2}} << QList<int>{100, 9, 7, 8};
    }

    void ordersByTeacherTalkListAndName()
    {
        QFETCH(TalkEntries, entries);
        QFETCH(QList<int>, order);
        Room room(2);
        room.control.init(room.panel, room.courseware);
        room.talk(entries);
        QCOMPARE(rowOrder(*room.panel), order);
    }

    // Names compare as shown: a long name cut at 92 pixels sorts by its cut text.
    void ordersByTheShownName()
    {
        Room room(2);
        (*AppGlobalData::instance()->memberMap())[8].enNickName = "Alexandrina Konstantinopoulou";
        room.control.init(room.panel, room.courseware);
        const QString cut = room.row(8)->shownName();
        QVERIFY(cut.endsWith(QChar(0x2026)));
        // Shown whole, this name runs before the long one; written out, after it.
        const QString shorter = cut.chopped(1) + "z";
        QVERIFY(shorter > "Alexandrina Konstantinopoulou");
        auto* row = dynamic_cast<UserItemWidget*>(room.panel->addUser(10, shorter, QString(), 0));
        QCOMPARE(row->shownName(), shorter);
        room.panel->sortItems();
        QCOMPARE(rowOrder(*room.panel).mid(1), (QList<int>{10, 8, 9, 7}));
    }

    void rowsMoveOnlyWhenSorted()
    {
        Room room(2);
        room.control.init(room.panel, room.courseware);
        room.row(8)->setSortKey(5);
        QCOMPARE(rowOrder(*room.panel), (QList<int>{100, 9, 7, 8}));
        room.panel->sortItems();
        QCOMPARE(rowOrder(*room.panel), (QList<int>{100, 8, 9, 7}));
    }

    void titleCountsRaisedHandsForTheTeacher_data()
    {
        QTest::addColumn<int>("localRole");
        QTest::addColumn<QString>("raisedTitle");
        QTest::addColumn<bool>("hand");
        QTest::newRow("teacher client") << 2 << "2 student(s) raising the hands" << true;
        QTest::newRow("student client") << 1 << "Members (4)" << false;
    }

    void titleCountsRaisedHandsForTheTeacher()
    {
        QFETCH(int, localRole);
        QFETCH(QString, raisedTitle);
        QFETCH(bool, hand);
        Room room(localRole);
        room.control.init(room.panel, room.courseware);
        room.talk({{7, 1}, {8, 1}, {9, 2}});
        QCOMPARE(room.title(), raisedTitle);
        QCOMPARE(room.handShown(), hand);
        QVERIFY(room.titleStyle().contains(hand ? "background-color: #FF713F" : "background-color: rgb(50,69,79)"));
        room.talk({{9, 2}});
        QCOMPARE(room.title(), QStringLiteral("Members (4)"));
        QVERIFY(!room.handShown());
        QVERIFY(room.titleStyle().contains("background-color: rgb(50,69,79)"));
        QVERIFY(!room.titleStyle().contains("#FF713F"));
    }

    // A talk list from the message server reaches the rows through the public interface.
    void talkListMessageRedrawsTheRows()
    {
        Room room(2);
        room.control.init(room.panel, room.courseware);
        QVERIFY(m_server.push(talkList({{9, 1}, {8, 2}})));
        QTRY_COMPARE(room.title(), QStringLiteral("1 student(s) raising the hands"));
        QCOMPARE(rowOrder(*room.panel), (QList<int>{100, 9, 8, 7}));
        QCOMPARE(room.row(8)->talkState(), 2);
        QCOMPARE(room.row(7)->talkState(), 0);
    }

    // On the teacher's client a microphone click opens a raised hand, stops a talking student and asks to
    // (un)mute the teacher's own microphone; the own row changes only with the echo.
    void microphoneClicksSendTheTeachersMessages()
    {
        Room room(2);
        room.control.init(room.panel, room.courseware);
        room.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room.window, ZmTest::kWaitMs));
        room.talk({{7, 1}, {8, 2}});
        const auto click = [&](int id) {
            QTest::mouseClick(child<QPushButton>(*room.row(id), "btn_micphone"), Qt::LeftButton);
        };

        click(7);
        const QList<QJsonObject> opened = m_server.waitForSent(ClassMsgTag_OpenStudentMicrophone);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().value("userId").toInt(), 7);

        click(8);
        const QList<QJsonObject> dropped = m_server.waitForSent(ClassMsgTag_TeacherDropCommand);
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped.first().value("subTag").toString(), QStringLiteral("drop"));
        QCOMPARE(dropped.first().value("toUserId").toInt(), 8);

        click(100);
        QList<QJsonObject> audio = m_server.waitForSent(ClassMsgTag_TeacherCommand);
        QCOMPARE(audio.size(), 1);
        QCOMPARE(audio.first().value("subTag").toString(), QStringLiteral("teacherAudio"));
        QCOMPARE(audio.first().value("isMute").toInt(), 1);
        QVERIFY(!room.row(100)->isMicMuted());
        QVERIFY(m_server.push(QJsonObject{{"messageTag", ClassMsgTag_TeacherCommand},
                                          {"subTag", "teacherAudio"},
                                          {"teacherId", Lesson::kTeacherId},
                                          {"isMute", 1}}));
        QTRY_VERIFY(room.row(100)->isMicMuted());
        click(100);
        audio = m_server.waitForSent(ClassMsgTag_TeacherCommand, 2);
        QCOMPARE(audio.size(), 2);
        QCOMPARE(audio.at(1).value("isMute").toInt(), 0);
        QCOMPARE(m_server.sent().size(), 4);
    }

    // A reward click submits the star, tells the class and plays the award; five class points is the cap.
    void rewardGivesAStarUpToFive()
    {
        ManualClock clock;
        Room room(2);
        m_server.sim().pointUrlConfig();
        room.control.init(room.panel, room.courseware);
        room.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room.window, ZmTest::kWaitMs));
        room.talk({{7, 2}});
        clock.advance(1000);
        QTest::mouseClick(child<QPushButton>(*room.row(7), "btn_reward"), Qt::LeftButton);

        const QJsonArray submitted = m_server.sim().numberedRequests(kSubmitPoints);
        QCOMPARE(submitted.size(), 1);
        QCOMPARE(ZmTest::Simulator::paramOf(submitted.first().toObject(), "studentId"), QStringLiteral("7"));
        QCOMPARE(ZmTest::Simulator::paramOf(submitted.first().toObject(), "point"), QStringLiteral("1"));
        QCOMPARE((*AppGlobalData::instance()->memberMap())[7].classPoint, 4);
        const QList<QJsonObject> awards = m_server.waitForSent(ClassMsgTag_TeacherCommand);
        QCOMPARE(awards.size(), 1);
        QCOMPARE(awards.first().value("subTag").toString(), QStringLiteral("award"));
        QCOMPARE(awards.first().value("toUserId").toInt(), 7);
        QCOMPARE(awards.first().value("point").toInt(), 1);
        QCOMPARE(awards.first().value("total").toInt(), 4);
        QTRY_VERIFY(room.control.playingAward());
        QCOMPARE(child<QLabel>(*room.row(7), "label_star_num")->text(), QStringLiteral("4"));
        finishAward(room.control);

        // The fifth star takes the reward away; a sixth request is refused before any service call.
        clock.advance(1000);
        QTest::mouseClick(child<QPushButton>(*room.row(7), "btn_reward"), Qt::LeftButton);
        QCOMPARE(m_server.sim().numberedRequests(kSubmitPoints).size(), 2);
        QCOMPARE((*AppGlobalData::instance()->memberMap())[7].classPoint, 5);
        QTRY_VERIFY(!child<QPushButton>(*room.row(7), "btn_reward")->isEnabled());
        room.control.onStartAddPoints(7, 1);
        QCOMPARE(m_server.sim().numberedRequests(kSubmitPoints).size(), 2);
        QCOMPARE((*AppGlobalData::instance()->memberMap())[7].classPoint, 5);
        QCOMPARE(m_server.sentSoFar(ClassMsgTag_TeacherCommand), 2);
    }

    void refusedStarGivesNothing()
    {
        Room room(2);
        m_server.sim().pointUrlConfig();
        ZmTest::Simulator::Route refuse;
        refuse.path = "/quillo/entrance";
        refuse.params = {{"FuncTag", kSubmitPoints}};
        refuse.body = R"({"TagCode": "0", "isSuccess": 0})";
        QVERIFY(m_server.sim().program(refuse) >= 0);
        room.control.init(room.panel, room.courseware);
        room.control.onStartAddPoints(8, 1);
        QCOMPARE(m_server.sim().numberedRequests(kSubmitPoints).size(), 1);
        QCOMPARE((*AppGlobalData::instance()->memberMap())[8].classPoint, 1);
        ZmTest::letTimersFire(300);
        QVERIFY(!room.control.playingAward());
        QCOMPARE(m_server.sentSoFar(), 0);
        // Only the teacher gives stars.
        AppGlobalData::instance()->launch.accountType = 1;
        room.control.onStartAddPoints(8, 1);
        QCOMPARE(m_server.sim().numberedRequests(kSubmitPoints).size(), 1);
    }

    // Awards that arrive together play one after another, each over the courseware in its own host dialog.
    void awardsPlayOneAtATime()
    {
        Room room(1);
        room.control.init(room.panel, room.courseware);
        room.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room.window, ZmTest::kWaitMs));
        QVERIFY(m_server.push(award(8, 1, 2)));
        QVERIFY(m_server.push(award(7, 1, 4)));
        QTRY_COMPARE(room.control.queuedAwards().size(), 1);
        QVERIFY(room.control.playingAward());
        QCOMPARE(room.courseware->findChildren<TranslucentDialog*>().size(), 1);
        TranslucentDialog* overlay = room.control.awardOverlay();
        QCOMPARE(overlay->geometry(), QRect(room.courseware->mapToGlobal(QPoint(0, 0)), QSize(700, 600)));
        QCOMPARE(room.control.playingAward()->size(), QSize(700, 700 * 9 / 16 + 64));
        QCOMPARE(child<QLabel>(*room.control.playingAward(), "label_name")->text(), QStringLiteral("Max"));
        QCOMPARE((*AppGlobalData::instance()->memberMap())[8].starPoint, 2);
        QCOMPARE((*AppGlobalData::instance()->memberMap())[8].classPoint, 2);
        QCOMPARE(child<QLabel>(*room.row(8), "label_star_num")->text(), QStringLiteral("2"));

        finishAward(room.control);
        QVERIFY(room.control.playingAward());
        QCOMPARE(child<QLabel>(*room.control.playingAward(), "label_name")->text(), QStringLiteral("Lily"));
        QVERIFY(room.control.queuedAwards().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(room.courseware->findChildren<TranslucentDialog*>().size(), 1);
        finishAward(room.control);
        QVERIFY(!room.control.awardOverlay());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(room.courseware->findChildren<TranslucentDialog*>().size(), 0);
    }

    // An award for someone who is not a member is dropped and the ones behind it still play.
    void unknownMembersAwardIsDropped()
    {
        Room room(1);
        room.control.init(room.panel, room.courseware);
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 4242, 1, 1);
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 9, 1, 1);
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(-1, 7, 1, 4);
        QTRY_VERIFY(room.control.playingAward());
        QCOMPARE(child<QLabel>(*room.control.playingAward(), "label_name")->text(), QStringLiteral("Ann"));
        QVERIFY(room.control.queuedAwards().isEmpty());
        QCOMPARE((*AppGlobalData::instance()->memberMap())[7].starPoint, 3);
    }

    // An award whose total leaves no count of stars before it (the smallest int) is refused with a log line; the one
    // behind it plays, with the largest total.
    void awardTotalsAtTheEnds()
    {
        Room room(1);
        room.control.init(room.panel, room.courseware);
        QTest::ignoreMessage(QtWarningMsg,
                             "UserListCtrl award refused: no count of stars before the total -2147483648");
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 9, 1,
                                                               std::numeric_limits<int>::min());
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 8, 1,
                                                               std::numeric_limits<int>::max());
        QTRY_VERIFY(room.control.playingAward());
        QCOMPARE(child<QLabel>(*room.control.playingAward(), "label_name")->text(), QStringLiteral("Max"));
        QVERIFY(room.control.queuedAwards().isEmpty());
        QCOMPARE((*AppGlobalData::instance()->memberMap())[9].starPoint, 0);
        QCOMPARE((*AppGlobalData::instance()->memberMap())[8].starPoint, std::numeric_limits<int>::max());
    }

    // While the teacher shares the screen, awards only update the stars.
    void sharingTeacherSeesNoAnimation()
    {
        Room room(2);
        AppGlobalData::instance()->screenShareOn = true;
        room.control.init(room.panel, room.courseware);
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 8, 1, 2);
        room.control.onReceiveMsgTeacherAwardPoints_PushToList(Lesson::kTeacherId, 9, 1, 1);
        QTRY_VERIFY(room.control.queuedAwards().isEmpty());
        ZmTest::letTimersFire(100);
        QVERIFY(!room.control.playingAward());
        QCOMPARE(child<QLabel>(*room.row(8), "label_star_num")->text(), QStringLiteral("2"));
        QCOMPARE(child<QLabel>(*room.row(9), "label_star_num")->text(), QStringLiteral("1"));
        // The teacher's own points of the lesson are the service's: they stay.
        QCOMPARE((*AppGlobalData::instance()->memberMap())[8].classPoint, 1);
    }

    void panelFitsItsParent()
    {
        QWidget holder;
        holder.resize(320, 500);
        UserListWidget panel(&holder);
        panel.fitToParent();
        QCOMPARE(panel.size(), QSize(320, 500));
        QCOMPARE(child(panel, "label_title")->width(), 320);
        QCOMPARE(panel.listWidget()->size(), QSize(320, 500 - 42));
        QCOMPARE(panel.listWidget()->pos(), QPoint(0, 42));
    }

    // Deleting the controller leaves the engine's signals with nobody to call.
    void deletedControllerHearsNothing()
    {
        Room room(2);
        auto* control = new UserListCtrl;
        control->init(room.panel, room.courseware);
        delete control;
        QVERIFY(m_server.push(talkList({{7, 1}})));
        QVERIFY(m_server.push(award(7, 1, 4)));
        QVERIFY(m_server.handledSoFar());
        QCOMPARE(room.title(), QStringLiteral("Members (4)"));
    }
};

ZM_TEST_MAIN(TestUserList)
#include "tst_userlist.moc"
