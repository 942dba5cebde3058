// The composite replay controllers' fold of their children's states, the length of the replay, and the media
// records they read from the launch texts.
#include "replay/controllers/CompositeReplayCtrl.h"
#include "replay/controllers/VlcReplayCtrl.h"
#include "replay/controllers/WhiteboardReplayCtrl.h"

#include "ReplayTestSupport.h"
#include "ZmTestMain.h"

#include <QSignalSpy>

namespace {

// Children whose state the test sets.
class BoardChild : public WhiteboardReplayCtrl
{
    Q_OBJECT

public:
    using ReplayCtrl::setState;
};

class VideoChild : public VlcReplayCtrl
{
    Q_OBJECT

public:
    using ReplayCtrl::setState;
};

// A composite over the children a row names: "b" the whiteboard, "t" the teacher's video, "s" the student's.
class TestComposite : public CompositeReplayCtrl
{
    Q_OBJECT

public:
    explicit TestComposite(const QString& children)
        : CompositeReplayCtrl(nullptr)
    {
        if (children.contains('b'))
            m_whiteboardCtrl = adoptChild(new BoardChild);
        if (children.contains('t'))
            m_teacherVideoCtrl = adoptChild(new VideoChild);
        if (children.contains('s'))
            m_studentVideoCtrl = adoptChild(new VideoChild);
    }

    bool init(QObject*, const ReplayMediaInfo*, const UserInfo*) override { return true; }

    // The child a report names: 'b', 't' or 's'.
    void report(QChar child, int state)
    {
        const auto value = static_cast<ReplayerState>(state);
        if (child == 'b')
            static_cast<BoardChild*>(m_whiteboardCtrl)->setState(value);
        else if (child == 't')
            static_cast<VideoChild*>(m_teacherVideoCtrl)->setState(value);
        else
            static_cast<VideoChild*>(m_studentVideoCtrl)->setState(value);
    }

private:
    template <typename Child> Child* adoptChild(Child* child)
    {
        adopt(child);
        return child;
    }
};

} // namespace

class TestCompositeReplayCtrl : public QObject
{
    Q_OBJECT

private slots:
    // Each report is "<child><state>": b the whiteboard, t the teacher's video, s the student's.
    void foldsTheChildrensStates_data()
    {
        QTest::addColumn<QString>("children");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<QList<int>>("announced");

        QTest::newRow("whiteboard alone") << "b" << QStringList{"b1", "b2"} << QList<int>{1, 2};
        QTest::newRow("ready with the last child")
            << "bts" << QStringList{"b1", "t1", "s1", "b2", "t2", "s2"} << QList<int>{1, 2};
        QTest::newRow("whiteboard ready while a video loads") << "bt" << QStringList{"t1", "b1", "b2"} << QList<int>{1};
        QTest::newRow("a video ready before the whiteboard") << "bt" << QStringList{"t2", "b2"} << QList<int>{2};
        QTest::newRow("undefined states change nothing") << "bt" << QStringList{"b4", "t5", "b6", "t0"} << QList<int>{};
        QTest::newRow("a failure after ready") << "bt" << QStringList{"b2", "t2", "t3"} << QList<int>{2, 3};
        QTest::newRow("a reload after ready") << "bt" << QStringList{"b2", "t2", "b1", "b2"} << QList<int>{2, 1, 2};
        QTest::newRow("one stall is enough, going on needs all")
            << "bts" << QStringList{"b2", "t2", "s2", "t7", "t8", "b8", "s8"} << QList<int>{2, 7, 8};
    }

    void foldsTheChildrensStates()
    {
        QFETCH(QString, children);
        QFETCH(QStringList, reports);
        QFETCH(QList<int>, announced);

        TestComposite composite(children);
        QSignalSpy states(&composite, &ReplayCtrl::stateChanged);
        for (const QString& report : reports)
            composite.report(report.at(0), report.mid(1).toInt());
        QCOMPARE(ZmTest::statesOf(states), announced);
        for (const QList<QVariant>& signal : states)
            QCOMPARE(signal.at(0).value<ReplayCtrl*>(), &composite);
    }

    // The length is the latest end of a video, counted when the composite becomes ready (again); the whiteboard's
    // own record does not count.
    void theLengthIsTheLatestVideoEnd_data()
    {
        QTest::addColumn<QString>("children");
        QTest::addColumn<QList<int>>("teacher"); // start, duration
        QTest::addColumn<QList<int>>("student");
        QTest::addColumn<int>("length");

        QTest::newRow("no video") << "b" << QList<int>{} << QList<int>{} << 0;
        QTest::newRow("teacher only") << "bt" << QList<int>{2000, 30000} << QList<int>{} << 32000;
        QTest::newRow("the student ends later") << "bts" << QList<int>{0, 30000} << QList<int>{5000, 30000} << 35000;
        QTest::newRow("the teacher ends later") << "bts" << QList<int>{0, 50000} << QList<int>{5000, 30000} << 50000;
    }

    void theLengthIsTheLatestVideoEnd()
    {
        QFETCH(QString, children);
        QFETCH(QList<int>, teacher);
        QFETCH(QList<int>, student);
        QFETCH(int, length);

        TestComposite composite(children);
        composite.whiteboardCtrl()->mediaInfo().duration = 999999;
        if (!teacher.isEmpty()) {
            composite.teacherVideoCtrl()->mediaInfo().start = teacher.at(0);
            composite.teacherVideoCtrl()->mediaInfo().duration = teacher.at(1);
            composite.report('t', 2);
        }
        if (!student.isEmpty()) {
            composite.studentVideoCtrl()->mediaInfo().start = student.at(0);
            composite.studentVideoCtrl()->mediaInfo().duration = student.at(1);
            composite.report('s', 2);
        }
        composite.report('b', 2);
        QCOMPARE(composite.state(), ReplayerState_Ready);
        QCOMPARE(composite.mediaInfo().start, 0);
        QCOMPARE(composite.mediaInfo().duration, length);
        QVERIFY(composite.mediaInfo().url.isEmpty());

        // Ready again after a reload: counted anew.
        if (!teacher.isEmpty()) {
            composite.report('b', 1);
            composite.teacherVideoCtrl()->mediaInfo().duration += 1000;
            composite.report('b', 2);
            QCOMPARE(composite.mediaInfo().duration, qMax(length, teacher.at(0) + teacher.at(1) + 1000));
        }
    }

    // Seeking answers true whatever the children do, also with a whiteboard that has no page.
    void seekingIsAlwaysTrue()
    {
        TestComposite composite("bt");
        QVERIFY(!composite.whiteboardCtrl()->seek(10, true));
        QVERIFY(composite.seek(10, true));
        QVERIFY(composite.seek(10, false));
        TestComposite empty("");
        QVERIFY(empty.seek(0, true));
    }

    void readsTheLaunchTexts_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<int>("startMs");
        QTest::addColumn<int>("durationMs");

        QTest::newRow("numbers") << "1500"
                                 << "61000" << 1500 << 61000;
        QTest::newRow("empty") << ""
                               << "" << 0 << 0;
        QTest::newRow("not numbers") << "soon"
                                     << "12s" << 0 << 0;
        QTest::newRow("zero length") << "0"
                                     << "0" << 0 << 0;
    }

    void readsTheLaunchTexts()
    {
        QFETCH(QString, start);
        QFETCH(QString, duration);
        QFETCH(int, startMs);
        QFETCH(int, durationMs);

        const ReplayMediaInfo record = CompositeReplayCtrl::mediaRecord("http://host/v.mp4", start, duration);
        QCOMPARE(record.url, QStringLiteral("http://host/v.mp4"));
        QCOMPARE(record.start, startMs);
        QCOMPARE(record.duration, durationMs);
    }
};

ZM_TEST_MAIN(TestCompositeReplayCtrl)
#include "tst_compositereplayctrl.moc"
