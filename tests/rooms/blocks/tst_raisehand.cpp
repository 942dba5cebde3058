#include "live/messages/ClassMsgProtocol.h"
#include "rooms/blocks/RaiseHandCtrl.h"
#include "rooms/blocks/RaiseHandWidget.h"

#include "MessageServerFixture.h"
#include "RoomTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using RoomTest::child;
using RoomTest::Lesson;

namespace {

QPushButton* button(QWidget& widget)
{
    return child<QPushButton>(widget, "btn_raise_hand");
}

QString countdownText(QWidget& widget)
{
    auto* text = child<QLabel>(widget, "progressText");
    return text->isVisibleTo(&widget) ? text->text() : QString();
}

} // namespace

class TestRaiseHand : public QObject
{
    Q_OBJECT

private:
    MessageServerFixture m_server;

    // The hand-down button of a student's room, with its control, the engine connected and the teacher present.
    struct Room
    {
        Lesson lesson{1};
        QWidget window;
        RaiseHandWidget* widget = new RaiseHandWidget(&window);
        RaiseHandCtrl control;
        QSignalSpy microphone{&control, &RaiseHandCtrl::sigSetMicphoneEnable};

        Room()
        {
            AppGlobalData::instance()->teacherPresent = true;
            AppGlobalData::instance()->launch.stopMicTeacherLeft = 900;
            window.resize(400, 300);
            control.connectClassMessages(widget);
        }
        ~Room() { AppGlobalData::instance()->launch.stopMicTeacherLeft = 900; }

        QTimer* countdown() { return control.findChild<QTimer*>("raiseHandCountdown"); }
        QTimer* leaveTimer() { return control.findChild<QTimer*>("teacherLeaveTimer"); }
        void raiseHand() { QTest::mouseClick(button(*widget), Qt::LeftButton); }
        // The countdown's one-second steps, run by the test: the real timer is stopped first.
        void tick(int times)
        {
            QTimer* timer = countdown();
            QVERIFY(timer);
            timer->stop();
            for (int i = 0; i < times; ++i)
                QMetaObject::invokeMethod(&control, "onTimerOut4RaisingHand");
        }
    };

    static QJsonObject openMicrophone(int studentId)
    {
        return QJsonObject{{"messageTag", ClassMsgTag_StudentMicrophoneOpened},
                           {"userId", studentId},
                           {"teacherId", Lesson::kTeacherId}};
    }

    static QJsonObject stopMicrophone(int studentId)
    {
        return QJsonObject{{"messageTag", ClassMsgTag_TeacherDropCommand},
                           {"subTag", "drop"},
                           {"toUserId", studentId},
                           {"teacherId", Lesson::kTeacherId}};
    }

    static QJsonObject teacherLeft(bool stopClass)
    {
        return QJsonObject{{"messageTag", ClassMsgTag_UserLeft},
                           {"role", 1},
                           {"userId", Lesson::kTeacherId},
                           {"type", stopClass ? 1 : 0}};
    }

private slots:
    void initTestCase() { QVERIFY2(m_server.start(), qPrintable(m_server.error())); }

    void init() { QVERIFY2(m_server.connectEngine(), qPrintable(m_server.error())); }

    void cleanup() { m_server.disconnectEngine(); }

    void buttonLooksFollowTheState()
    {
        RaiseHandWidget widget;
        QCOMPARE(widget.btnIconType(), BtnIcon_HandDown);
        QCOMPARE(button(widget)->text(), QStringLiteral("Raise"));
        QVERIFY(button(widget)->isEnabled());
        QVERIFY(!child(widget, "progressBar")->isVisibleTo(&widget));
        QVERIFY(!child(widget, "progressBar")->mask().isEmpty());
        QCOMPARE(countdownText(widget), QString());

        widget.setBtnIconType(BtnIcon_Talking, true);
        QCOMPARE(button(widget)->text(), QStringLiteral("Close"));
        QVERIFY(button(widget)->styleSheet().contains("talking.png"));
        QVERIFY(button(widget)->styleSheet().contains("talking_hover.png"));
        // The raised state keeps the look it finds.
        widget.setBtnIconType(BtnIcon_Raised, false);
        QCOMPARE(widget.btnIconType(), BtnIcon_Raised);
        QCOMPARE(button(widget)->text(), QStringLiteral("Close"));
        QVERIFY(!button(widget)->isEnabled());
        widget.setBtnIconType(BtnIcon_HandDown, true);
        QCOMPARE(button(widget)->text(), QStringLiteral("Raise"));
        QVERIFY(button(widget)->styleSheet().contains("raise_hand.png"));
        QVERIFY(button(widget)->styleSheet().contains("raise_hand_hover.png"));
    }

    void countdownFillsAndCountsDown()
    {
        RaiseHandWidget widget;
        widget.startCountdown(60);
        auto* bar = child<QProgressBar>(widget, "progressBar");
        QVERIFY(bar->isVisibleTo(&widget));
        QCOMPARE(bar->maximum(), 60);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(countdownText(widget), QStringLiteral("60s"));
        widget.updateCountdown(10);
        QCOMPARE(bar->value(), 10);
        QCOMPARE(countdownText(widget), QStringLiteral("50s"));
        widget.setBtnIconType(BtnIcon_Raised, false);
        widget.stopCountdown();
        QVERIFY(!bar->isVisibleTo(&widget));
        QCOMPARE(countdownText(widget), QString());
        QCOMPARE(widget.btnIconType(), BtnIcon_HandDown);
        QVERIFY(button(widget)->isEnabled());
    }

    void hoverShowsTheHoverPictureOnlyWithTheHandDown()
    {
        RaiseHandWidget widget;
        QEvent enter(QEvent::Enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &enter);
        QCOMPARE(button(widget)->styleSheet(),
                 QStringLiteral("QPushButton{color:#FFFFFF;border-image:url(:/buttons/res/raise_hand_hover.png);"
                                "padding-left:20px;padding-bottom:3px;}"));
        widget.setBtnIconType(BtnIcon_HandDown, false);
        QApplication::sendEvent(&widget, &leave);
        QVERIFY(button(widget)->styleSheet().contains("QPushButton:hover"));
        QVERIFY(!button(widget)->isEnabled());

        widget.setBtnIconType(BtnIcon_Talking, true);
        const QString talking = button(widget)->styleSheet();
        QApplication::sendEvent(&widget, &enter);
        QApplication::sendEvent(&widget, &leave);
        QCOMPARE(button(widget)->styleSheet(), talking);
    }

    void staysInTheBottomRightCorner()
    {
        QWidget room;
        room.resize(800, 600);
        auto* widget = new RaiseHandWidget(&room);
        widget->setCornerMargins(12, 0);
        widget->moveToCorner();
        QCOMPARE(widget->geometry(), QRect(800 - 110 - 12, 600 - 129, 110, 129));
        room.resize(1024, 700);
        widget->moveToCorner();
        QCOMPARE(widget->pos(), QPoint(1024 - 110 - 12, 700 - 129));
        widget->setCornerMargins(0, 0);
        room.show();
        QVERIFY(QTest::qWaitForWindowExposed(&room, ZmTest::kWaitMs));
        widget->resize(120, 140);
        QCOMPARE(widget->pos(), QPoint(1024 - 120, 700 - 140));
    }

    void clickReportsTheState()
    {
        RaiseHandWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget, ZmTest::kWaitMs));
        QSignalSpy clicked(&widget, &RaiseHandWidget::clicked);
        widget.setBtnIconType(BtnIcon_Talking, true);
        QTest::mouseClick(button(widget), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).value<BtnIconType>(), BtnIcon_Talking);
    }

    // Sixty one-second steps: the countdown shows the seconds left; at the end the hand goes down and exactly one
    // time-out message goes out.
    void countdownRunsOutWithOneTimeoutMessage()
    {
        Room room;
        room.raiseHand();
        QCOMPARE(m_server.waitForSent(ClassMsgTag_RaiseHand).size(), 1);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_Raised);
        QVERIFY(!button(*room.widget)->isEnabled());
        QCOMPARE(countdownText(*room.widget), QStringLiteral("60s"));
        QTimer* timer = room.countdown();
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        QVERIFY(!timer->isSingleShot());

        room.tick(10);
        QCOMPARE(countdownText(*room.widget), QStringLiteral("50s"));
        QCOMPARE(child<QProgressBar>(*room.widget, "progressBar")->value(), 10);
        room.tick(49);
        QCOMPARE(countdownText(*room.widget), QStringLiteral("1s"));
        QCOMPARE(m_server.sent().size(), 1);
        room.tick(1);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_HandDown);
        QVERIFY(button(*room.widget)->isEnabled());
        QCOMPARE(button(*room.widget)->text(), QStringLiteral("Raise"));
        QCOMPARE(countdownText(*room.widget), QString());
        QVERIFY(!room.countdown() || !room.countdown()->isActive());
        QCOMPARE(m_server.sentSoFar(ClassMsgTag_RaiseHandTimeout), 1);
        QCOMPARE(room.microphone.count(), 0);
    }

    void teacherOpeningTheMicrophoneEndsTheCountdown()
    {
        Room room;
        room.raiseHand();
        QCOMPARE(m_server.waitForSent(ClassMsgTag_RaiseHand).size(), 1);
        room.tick(5);
        // Another student's microphone is not ours.
        QVERIFY(m_server.push(openMicrophone(8)));
        QVERIFY(m_server.push(openMicrophone(Lesson::kOwnStudentId)));
        QTRY_COMPARE(room.microphone.count(), 1);
        QCOMPARE(room.microphone.at(0).at(0).toBool(), true);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_Talking);
        QCOMPARE(button(*room.widget)->text(), QStringLiteral("Close"));
        QVERIFY(button(*room.widget)->isEnabled());
        QCOMPARE(countdownText(*room.widget), QString());
        QVERIFY(!room.countdown() || !room.countdown()->isActive());
        QCOMPARE(m_server.sentSoFar(ClassMsgTag_RaiseHandTimeout), 0);

        // "Close" hands the microphone back.
        QTest::mouseClick(button(*room.widget), Qt::LeftButton);
        QCOMPARE(room.microphone.count(), 2);
        QCOMPARE(room.microphone.at(1).at(0).toBool(), false);
        QCOMPARE(button(*room.widget)->text(), QStringLiteral("Raise"));
    }

    void teacherStoppingTheMicrophoneClosesIt()
    {
        Room room;
        room.control.openMicrophone();
        QVERIFY(m_server.push(stopMicrophone(8)));
        QVERIFY(m_server.push(stopMicrophone(Lesson::kOwnStudentId)));
        QTRY_COMPARE(room.microphone.count(), 2);
        QCOMPARE(room.microphone.at(1).at(0).toBool(), false);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_HandDown);
        QVERIFY(button(*room.widget)->isEnabled());
    }

    void noHandGoesUpWithoutTheTeacher()
    {
        Room room;
        AppGlobalData::instance()->teacherPresent = false;
        room.raiseHand();
        QCOMPARE(m_server.sentSoFar(), 0);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_HandDown);
        QVERIFY(!room.countdown());
        QCOMPARE(countdownText(*room.widget), QString());
    }

    // The teacher left without ending the lesson: after the launch's teacher-left time the microphone closes,
    // unless the teacher's stream comes back first. A second leave message starts the time again.
    void teacherLeaveTimerClosesTheMicrophone()
    {
        Room room;
        AppGlobalData::instance()->launch.stopMicTeacherLeft = 120;
        room.control.openMicrophone();
        QVERIFY(m_server.push(teacherLeft(false)));
        QTRY_VERIFY(room.leaveTimer());
        QTimer* first = room.leaveTimer();
        QVERIFY(first->isActive());
        QVERIFY(first->isSingleShot());
        QCOMPARE(first->interval(), 120 * 1000);
        // Nothing else changes while it runs.
        QCOMPARE(room.widget->btnIconType(), BtnIcon_Talking);

        QVERIFY(m_server.push(teacherLeft(false)));
        QTRY_VERIFY(room.leaveTimer() != first);
        QCOMPARE(room.control.findChildren<QTimer*>("teacherLeaveTimer").size(), 1);
        QVERIFY(room.leaveTimer()->isActive());

        RoomTest::fire(room.leaveTimer());
        QCOMPARE(room.microphone.count(), 2);
        QCOMPARE(room.microphone.at(1).at(0).toBool(), false);
        QCOMPARE(room.widget->btnIconType(), BtnIcon_HandDown);
        QVERIFY(!room.leaveTimer());
    }

    void teacherComingBackStopsTheLeaveTimer()
    {
        Room room;
        room.control.openMicrophone();
        QVERIFY(m_server.push(teacherLeft(false)));
        QTRY_VERIFY(room.leaveTimer());
        QCOMPARE(room.leaveTimer()->interval(), 900 * 1000);
        room.control.stopTimer4TeacherTemporaryLeave();
        QVERIFY(!room.leaveTimer());
        QCOMPARE(room.microphone.count(), 1);

        // The lesson ending is the room's business, not a temporary leave.
        QVERIFY(m_server.push(teacherLeft(true)));
        QVERIFY(m_server.handledSoFar());
        QVERIFY(!room.leaveTimer());
        QCOMPARE(room.widget->btnIconType(), BtnIcon_Talking);
    }

    // The controller goes before its button; a countdown still running is taken down with it.
    void deletingTheControlStopsItsTimers()
    {
        Lesson lesson(1);
        AppGlobalData::instance()->teacherPresent = true;
        RaiseHandWidget widget;
        auto* control = new RaiseHandCtrl;
        control->connectClassMessages(&widget);
        QTest::mouseClick(button(widget), Qt::LeftButton);
        QCOMPARE(countdownText(widget), QStringLiteral("60s"));
        control->openTimer4TeacherTemporaryLeave();
        delete control;
        QCOMPARE(countdownText(widget), QString());
        QCOMPARE(widget.btnIconType(), BtnIcon_HandDown);
        QVERIFY(m_server.push(openMicrophone(Lesson::kOwnStudentId)));
        QVERIFY(m_server.handledSoFar());
        QCOMPARE(widget.btnIconType(), BtnIcon_HandDown);
    }
};

ZM_TEST_MAIN(TestRaiseHand)
#include "tst_raisehand.moc"
