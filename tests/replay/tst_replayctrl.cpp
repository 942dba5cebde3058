#include "replay/controllers/ReplayCtrl.h"

#include "ZmTestMain.h"

#include <QSignalSpy>

namespace {

// The smallest controller: one that only moves its state.
class StateOnlyCtrl : public ReplayCtrl
{
    Q_OBJECT

public:
    using ReplayCtrl::ReplayCtrl;
    using ReplayCtrl::setState;

    bool init(QObject*, const ReplayMediaInfo*, const UserInfo*) override { return true; }
    void close() override {}
    ReplayMediaInfo& mediaInfo() override { return m_media; }
    void play(bool) override {}
    void stop() override {}
    bool seek(uint, bool) override { return true; }

private:
    ReplayMediaInfo m_media;
};

// Listens the way composites and windows do: by the signature texts.
class TextListener : public QObject
{
    Q_OBJECT

public:
    QList<QPair<ReplayCtrl*, int>> heard;

public slots:
    void onChildReplayCtrlStateChanged(ReplayCtrl* pCtrl, ReplayerState state) { heard.append({pCtrl, state}); }
};

} // namespace

class TestReplayCtrl : public QObject
{
    Q_OBJECT

private slots:
    void announcesOnlyChanges_data()
    {
        QTest::addColumn<QList<int>>("set");
        QTest::addColumn<QList<int>>("announced");

        QTest::newRow("the initial state again") << QList<int>{0} << QList<int>{};
        QTest::newRow("loading, ready") << QList<int>{1, 2} << QList<int>{1, 2};
        QTest::newRow("repeats are dropped") << QList<int>{1, 1, 2, 2, 2} << QList<int>{1, 2};
        QTest::newRow("back and forth") << QList<int>{1, 2, 1, 3, 2} << QList<int>{1, 2, 1, 3, 2};
        QTest::newRow("stall and go on") << QList<int>{2, 7, 7, 8, 8, 2} << QList<int>{2, 7, 8, 2};
        QTest::newRow("back to initial") << QList<int>{1, 0, 0} << QList<int>{1, 0};
    }

    void announcesOnlyChanges()
    {
        QFETCH(QList<int>, set);
        QFETCH(QList<int>, announced);

        StateOnlyCtrl ctrl;
        QCOMPARE(ctrl.state(), ReplayerState_Initial);
        QSignalSpy spy(&ctrl, &ReplayCtrl::stateChanged);
        for (int state : set)
            ctrl.setState(static_cast<ReplayerState>(state));

        QList<int> heard;
        for (const QList<QVariant>& arguments : spy) {
            QCOMPARE(arguments.at(0).value<ReplayCtrl*>(), &ctrl);
            heard.append(arguments.at(1).value<ReplayerState>());
        }
        QCOMPARE(heard, announced);
        QCOMPARE(static_cast<int>(ctrl.state()), set.last());
    }

    // Composites and windows connect by the signature texts, directly and (across threads) queued.
    void connectsBySignatureText_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("auto") << int(Qt::AutoConnection);
        QTest::newRow("queued") << int(Qt::QueuedConnection);
    }

    void connectsBySignatureText()
    {
        QFETCH(int, type);

        StateOnlyCtrl ctrl;
        TextListener listener;
        QVERIFY(QObject::connect(&ctrl, SIGNAL(stateChanged(ReplayCtrl*, ReplayerState)), &listener,
                                 SLOT(onChildReplayCtrlStateChanged(ReplayCtrl*, ReplayerState)),
                                 static_cast<Qt::ConnectionType>(type)));
        ctrl.setState(ReplayerState_Loading);
        ctrl.setState(ReplayerState_Ready);
        QTRY_COMPARE(listener.heard.size(), 2);
        QCOMPARE(listener.heard.at(0), qMakePair(static_cast<ReplayCtrl*>(&ctrl), 1));
        QCOMPARE(listener.heard.at(1), qMakePair(static_cast<ReplayCtrl*>(&ctrl), 2));
    }
};

ZM_TEST_MAIN_CORE(TestReplayCtrl)
#include "tst_replayctrl.moc"
