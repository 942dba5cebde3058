#include "app/ConfigManager.h"
#include "rooms/blocks/PortraitLoader.h"
#include "rooms/blocks/UserItemWidget.h"

#include "RoomTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using RoomTest::child;
using RoomTest::Lesson;
using RoomTest::ManualClock;

namespace {

const QString kStudentFallback = QStringLiteral(":/res/student_default.png");
const QString kTeacherFallback = QStringLiteral(":/res/teacher_default.png");

QByteArray pngPicture(QColor colour)
{
    QImage image(40, 40, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Look
{
    bool hand, voice, mic, micEnabled;
    const char* micLook; // "normal", "muted"
    const char* toolTip;
    bool reward, highlight, muted;
};

} // namespace

Q_DECLARE_METATYPE(Look)

class TestUserItemWidget : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

    static void fill(UserItemWidget& row, bool teacherRow)
    {
        if (teacherRow)
            row.setTeacher(Lesson::kTeacherId, "Ms Rowan", QString());
        else
            row.setStudent(7, "Lily", QString(), 12);
    }

    static QString imagesDir() { return ConfigManager::instance()->getImageDir(); }

private slots:
    void initTestCase() { QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString())); }

    // The row's look is a function of the talk state, the local role, whether it is the teacher's row and the
    // muted flag.
    void lookFollowsStateRoleRowAndMute_data()
    {
        QTest::addColumn<int>("localRole");
        QTest::addColumn<bool>("teacherRow");
        QTest::addColumn<bool>("mutedBefore");
        QTest::addColumn<int>("state");
        QTest::addColumn<Look>("look");
        const char* open = "Open the microphone";
        const char* close = "Close the microphone";
        // hand voice mic enabled look tooltip reward highlight muted
        QTest::newRow("teacher client, student, none")
            << 2 << false << false << 0 << Look{false, false, false, false, "", "", false, false, false};
        QTest::newRow("teacher client, student, hand raised")
            << 2 << false << false << 1 << Look{true, false, true, true, "muted", open, false, false, true};
        QTest::newRow("teacher client, student, talking")
            << 2 << false << true << 2 << Look{false, true, true, true, "normal", close, true, true, false};
        QTest::newRow("teacher client, own row")
            << 2 << true << false << 2 << Look{false, true, true, true, "normal", close, false, true, false};
        QTest::newRow("teacher client, own row muted")
            << 2 << true << true << 2 << Look{false, false, true, true, "muted", close, false, true, true};
        QTest::newRow("student client, teacher row")
            << 1 << true << false << 2 << Look{false, true, true, false, "normal", "", false, true, false};
        QTest::newRow("student client, absent teacher")
            << 1 << true << true << 2 << Look{false, false, true, false, "muted", "", false, true, true};
        QTest::newRow("student client, student, none")
            << 1 << false << true << 0 << Look{false, false, false, false, "", "", false, false, false};
        QTest::newRow("student client, student, hand raised")
            << 1 << false << false << 1 << Look{true, false, false, false, "", "", false, false, true};
        QTest::newRow("student client, student, talking")
            << 1 << false << true << 2 << Look{false, true, true, false, "normal", "", false, true, false};
    }

    void lookFollowsStateRoleRowAndMute()
    {
        QFETCH(int, localRole);
        QFETCH(bool, teacherRow);
        QFETCH(bool, mutedBefore);
        QFETCH(int, state);
        QFETCH(Look, look);
        Lesson lesson(localRole);
        Lesson::addStudent(7, "Lily", 12, 2);
        UserItemWidget row;
        fill(row, teacherRow);
        row.setMicMuted(mutedBefore);
        row.setTalkState(state);

        QCOMPARE(row.talkState(), state);
        QCOMPARE(row.isMicMuted(), look.muted);
        QCOMPARE(child(row, "handIcon")->isVisibleTo(&row), look.hand);
        QCOMPARE(child(row, "voiceIcon")->isVisibleTo(&row), look.voice);
        auto* mic = child<QPushButton>(row, "btn_micphone");
        QCOMPARE(mic->isVisibleTo(&row), look.mic);
        if (look.mic) {
            QCOMPARE(mic->isEnabled(), look.micEnabled);
            const bool mutedLook = mic->styleSheet().contains("micphone_mute.png");
            QCOMPARE(mutedLook, QByteArray(look.micLook) == "muted");
            QCOMPARE(mic->toolTip(), QString::fromLatin1(look.toolTip));
        }
        auto* reward = child<QPushButton>(row, "btn_reward");
        QCOMPARE(reward->isVisibleTo(&row), look.reward);
        if (look.reward)
            QVERIFY(reward->isEnabled());
        QCOMPARE(child(row, "itemBgMask")->styleSheet(),
                 look.highlight ? QStringLiteral("background-color: rgba(74, 144, 226, 25)")
                                : QStringLiteral("background-color: rgba(0, 0, 0, 0)"));
    }

    void teacherAndStudentRowsDiffer()
    {
        Lesson lesson(2);
        Lesson::addStudent(7, "Lily", 12, 2);
        UserItemWidget teacher;
        teacher.setTeacher(Lesson::kTeacherId, "Ms Rowan", QString());
        QVERIFY(teacher.isTeacherRow());
        QVERIFY(child(teacher, "img_teacher")->isVisibleTo(&teacher));
        QVERIFY(!child(teacher, "star_panel")->isVisibleTo(&teacher));
        UserItemWidget student;
        student.setStudent(7, "Lily", QString(), 12);
        QVERIFY(!student.isTeacherRow());
        QVERIFY(!child(student, "img_teacher")->isVisibleTo(&student));
        QCOMPARE(child<QLabel>(student, "label_star_num")->text(), QStringLiteral("12"));
        UserItemWidget empty;
        QCOMPARE(empty.userId(), -1);
        QVERIFY(!empty.isTeacherRow());
    }

    // A state outside 0 to 2 changes nothing shown and keeps the state.
    void unknownStateChangesNothing()
    {
        Lesson lesson(2);
        Lesson::addStudent(7, "Lily", 12, 2);
        UserItemWidget row;
        fill(row, false);
        row.setTalkState(2);
        row.setTalkState(3);
        QCOMPARE(row.talkState(), 2);
        QVERIFY(child(row, "btn_micphone")->isVisibleTo(&row));
        QVERIFY(child(row, "btn_reward")->isVisibleTo(&row));
        row.setVolume(255);
        QCOMPARE(child<QProgressBar>(row, "voiceIcon")->value(), 100);
    }

    void rewardStopsAtFiveClassPoints()
    {
        Lesson lesson(2);
        UserInfo& lily = Lesson::addStudent(7, "Lily", 12, 4);
        UserItemWidget row;
        fill(row, false);
        row.setTalkState(2);
        auto* reward = child<QPushButton>(row, "btn_reward");
        QVERIFY(reward->isEnabled());
        lily.classPoint = 5;
        lily.starPoint = 13;
        row.refreshStars();
        QVERIFY(reward->isVisibleTo(&row));
        QVERIFY(!reward->isEnabled());
        QCOMPARE(child<QLabel>(row, "label_star_num")->text(), QStringLiteral("13"));
    }

    // At most one accepted reward click per second, counted from the row's creation; a click for a member who
    // left counts for the second but gives nothing.
    void rewardClicksPassOncePerSecond()
    {
        ManualClock clock;
        Lesson lesson(2);
        Lesson::addStudent(7, "Lily", 12, 1);
        UserItemWidget row;
        fill(row, false);
        row.setTalkState(2);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row, ZmTest::kWaitMs));
        QSignalSpy points(&row, &UserItemWidget::sigStartAddPoints);
        auto* reward = child<QPushButton>(row, "btn_reward");
        const auto clickAt = [&](qint64 ms) {
            clock.advance(ms - (clock.now() - 1000000));
            QTest::mouseClick(reward, Qt::LeftButton);
        };
        clickAt(500);
        QCOMPARE(points.count(), 0);
        clickAt(1000);
        QCOMPARE(points.count(), 1);
        QCOMPARE(points.at(0).at(0).toInt(), 7);
        QCOMPARE(points.at(0).at(1).toInt(), 1);
        clickAt(1999);
        QCOMPARE(points.count(), 1);
        clickAt(2000);
        QCOMPARE(points.count(), 2);
        AppGlobalData::instance()->clearUsers();
        clickAt(3000);
        QCOMPARE(points.count(), 2);
        Lesson::addStudent(7, "Lily", 12, 1);
        clickAt(3500);
        QCOMPARE(points.count(), 2);
        clickAt(4000);
        QCOMPARE(points.count(), 3);
    }

    void microphoneClickNamesTheMember()
    {
        Lesson lesson(2);
        Lesson::addStudent(7, "Lily", 12, 1);
        UserItemWidget row;
        fill(row, false);
        row.setTalkState(1);
        row.show();
        QVERIFY(QTest::qWaitForWindowExposed(&row, ZmTest::kWaitMs));
        QSignalSpy clicked(&row, &UserItemWidget::sigMicBtnClicked);
        QTest::mouseClick(child<QPushButton>(row, "btn_micphone"), Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toInt(), 7);
    }

    void volumeShowsOnlyWhileTalking_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("shown");
        QTest::newRow("talking, 128") << 2 << 128 << 50;
        QTest::newRow("talking, 255") << 2 << 255 << 100;
        QTest::newRow("talking, 2") << 2 << 2 << 0;
        QTest::newRow("talking, above range") << 2 << 400 << 100;
        QTest::newRow("hand raised") << 1 << 255 << 0;
        QTest::newRow("none") << 0 << 255 << 0;
    }

    void volumeShowsOnlyWhileTalking()
    {
        QFETCH(int, state);
        QFETCH(int, volume);
        QFETCH(int, shown);
        Lesson lesson(2);
        Lesson::addStudent(7, "Lily", 12, 1);
        UserItemWidget row;
        fill(row, false);
        row.setTalkState(state);
        row.setVolume(volume);
        QCOMPARE(child<QProgressBar>(row, "voiceIcon")->value(), shown);
    }

    void longNamesAreElided()
    {
        Lesson lesson(2);
        UserItemWidget row;
        row.setStudent(7, "Lily", QString(), 0);
        QCOMPARE(row.shownName(), QStringLiteral("Lily"));
        row.setStudent(7, "Alexandrina Konstantinopoulou-Vasquez", QString(), 0);
        auto* name = child<QLabel>(row, "label_name");
        QCOMPARE(name->text(), row.shownName());
        QVERIFY(row.shownName().endsWith(QChar(0x2026)));
        QVERIFY(name->fontMetrics().horizontalAdvance(row.shownName()) <= UserItemWidget::kNameWidth);
    }

    void portraitIsStoredAndShown()
    {
        Lesson lesson(2);
        const QByteArray picture = pngPicture(Qt::red);
        const QString url = m_sim.putFile("portraits/lily.png", picture);
        QVERIFY(!url.isEmpty());
        UserItemWidget row;
        row.setStudent(7, "Lily", url, 0);
        QCOMPARE(row.portraitPath(), kStudentFallback);
        const QString stored = imagesDir() + "/lily";
        QTRY_COMPARE(row.portraitPath(), stored);
        QFile file(stored);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), picture);
        const QImage shown = child<QLabel>(row, "img_portrait")->pixmap(Qt::ReturnByValue).toImage();
        QCOMPARE(shown.size(), QSize(40, 40));
        QCOMPARE(shown.pixelColor(20, 20), QColor(Qt::red));
    }

    void portraitFailuresKeepTheFallback_data()
    {
        QTest::addColumn<bool>("teacherRow");
        QTest::addColumn<QString>("path"); // on the simulator; empty: the address itself below
        QTest::addColumn<QString>("address");
        QTest::newRow("student, missing") << false << "/files/portraits/none.png"
                                          << "";
        QTest::newRow("teacher, missing") << true << "/files/portraits/none.png"
                                          << "";
        QTest::newRow("not a picture") << false << "/files/portraits/text.png"
                                       << "";
        QTest::newRow("no file name") << false << "/files/"
                                      << "";
        QTest::newRow("no address") << false << ""
                                    << "";
        QTest::newRow("not a web address") << true << ""
                                           << "file:///etc/passwd";
    }

    void portraitFailuresKeepTheFallback()
    {
        QFETCH(bool, teacherRow);
        QFETCH(QString, path);
        QFETCH(QString, address);
        Lesson lesson(2);
        m_sim.putFile("portraits/text.png", "not a picture");
        const QString url = path.isEmpty() ? address : m_sim.url(path);
        UserItemWidget row;
        if (teacherRow)
            row.setTeacher(Lesson::kTeacherId, "Ms Rowan", url);
        else
            row.setStudent(7, "Lily", url, 0);
        QVERIFY(PortraitLoader::waitForAllFetches(ZmTest::kWaitMs));
        QCoreApplication::processEvents();
        QVERIFY(!row.isLoadingPortrait());
        const QString fallback = teacherRow ? kTeacherFallback : kStudentFallback;
        QCOMPARE(row.portraitPath(), fallback);
        QCOMPARE(child<QLabel>(row, "img_portrait")->pixmap(Qt::ReturnByValue).toImage(), QPixmap(fallback).toImage());
    }

    // The download does not hold the GUI thread, and a portrait that arrives after its row was deleted is
    // dropped.
    void portraitArrivesLaterAndOnlyForALivingRow()
    {
        Lesson lesson(2);
        ZmTest::Simulator::Route slow;
        slow.method = "GET";
        slow.path = "/files/portraits/slow.png";
        slow.body = pngPicture(Qt::blue);
        slow.headers = {{"Content-Type", "image/png"}};
        slow.delayMs = 400;
        QVERIFY(m_sim.program(slow) >= 0);
        const QString url = m_sim.url(slow.path);

        UserItemWidget row;
        row.setStudent(7, "Lily", url, 0);
        QVERIFY(row.isLoadingPortrait());
        QCOMPARE(row.portraitPath(), kStudentFallback);
        auto* gone = new UserItemWidget;
        gone->setStudent(8, "Max", url, 0);
        QVERIFY(gone->isLoadingPortrait());
        delete gone;
        QTRY_COMPARE(row.portraitPath(), imagesDir() + "/slow");
        QVERIFY(PortraitLoader::waitForAllFetches(ZmTest::kWaitMs));
        QCoreApplication::processEvents();
    }
};

ZM_TEST_MAIN(TestUserItemWidget)
#include "tst_useritemwidget.moc"
