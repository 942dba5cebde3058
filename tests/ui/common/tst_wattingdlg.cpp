#include "ui/common/WattingDlg.h"

#include "ZmTestMain.h"

#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

QLabel* spinner(WattingDlg& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("pic"));
}

// The frame number the spinner's style sheet shows, or 0; -1 (and a failed test) without a spinner.
int shownFrame(WattingDlg& dialog)
{
    static const QRegularExpression frame(QStringLiteral("loading/(\\d+)\\.png"));
    QLabel* pic = spinner(dialog);
    if (!pic) {
        QTest::qFail("the dialog has no spinner", __FILE__, __LINE__);
        return -1;
    }
    const QRegularExpressionMatch match = frame.match(pic->styleSheet());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QTimer* animationTimer(WattingDlg& dialog)
{
    return dialog.findChild<QTimer*>();
}

void tick(WattingDlg& dialog)
{
    QVERIFY(QMetaObject::invokeMethod(&dialog, "loadupdate"));
}

} // namespace

class TestWattingDlg : public QObject
{
    Q_OBJECT

private slots:
    void startsIdle()
    {
        WattingDlg dialog;
        QCOMPARE(dialog.windowFlags(), Qt::Tool | Qt::FramelessWindowHint);
        QCOMPARE(dialog.size(), QSize(238, 34));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(dialog.textLabel()->text(), QStringLiteral("Connecting camera..."));
        QCOMPARE(shownFrame(dialog), 1);
        QVERIFY(spinner(dialog));
        QVERIFY(spinner(dialog)->maximumSize().width() <= 14);
        QVERIFY(!dialog.isVisible());
        QVERIFY(animationTimer(dialog));
        QVERIFY(!animationTimer(dialog)->isActive());
        QVERIFY(dialog.stopWaiting());
    }

    void startShowsTextAndModality_data()
    {
        QTest::addColumn<bool>("modal");
        QTest::newRow("not modal") << false;
        QTest::newRow("modal") << true;
    }

    void startShowsTextAndModality()
    {
        QFETCH(bool, modal);
        WattingDlg dialog;
        dialog.startWaiting("Loading...", modal, 0);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.isModal(), modal);
        QCOMPARE(dialog.textLabel()->text(), QStringLiteral("Loading..."));
        QTimer* timer = animationTimer(dialog);
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 76);
        QVERIFY(!timer->isSingleShot());

        dialog.textLabel()->setText("Joining the channel...");
        auto* title = dialog.findChild<QLabel*>(QStringLiteral("title"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Joining the channel..."));

        QVERIFY(dialog.stopWaiting());
        QVERIFY(!dialog.isVisible());
        QVERIFY(!timer->isActive());
    }

    void framesRunOneToThirteenAndWrap()
    {
        WattingDlg dialog;
        dialog.startWaiting(QString(), false, 0);
        QList<int> frames;
        for (int i = 0; i < 14; ++i) {
            tick(dialog);
            frames << shownFrame(dialog);
        }
        QCOMPARE(frames, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1}));

        // A new start begins at frame 1 again.
        tick(dialog);
        QCOMPARE(shownFrame(dialog), 2);
        dialog.startWaiting(QString(), false, 0);
        tick(dialog);
        QCOMPARE(shownFrame(dialog), 1);
    }

    void spinnerTurnsOnItsOwn()
    {
        WattingDlg dialog;
        dialog.startWaiting("Loading...", false, 0);
        QTRY_COMPARE(shownFrame(dialog), 3);
        QTRY_COMPARE(shownFrame(dialog), 1);
        dialog.stopWaiting();
    }

    void timeLimitSignalsOnceAndKeepsWaiting()
    {
        WattingDlg dialog;
        QSignalSpy timedOut(&dialog, &WattingDlg::signalTimeout);
        dialog.startWaiting("Connecting camera...", false, 300);
        QTRY_COMPARE(timedOut.count(), 1);
        QVERIFY(dialog.isVisible());
        QVERIFY(animationTimer(dialog));
        QVERIFY(animationTimer(dialog)->isActive());
        ZmTest::letTimersFire(900);
        QCOMPARE(timedOut.count(), 1);

        // Every start with a limit signals again, once.
        dialog.startWaiting("Connecting camera...", false, 200);
        QTRY_COMPARE(timedOut.count(), 2);
        ZmTest::letTimersFire(600);
        QCOMPARE(timedOut.count(), 2);
    }

    void noLimitNeverSignals()
    {
        WattingDlg dialog;
        QSignalSpy timedOut(&dialog, &WattingDlg::signalTimeout);
        dialog.startWaiting(QString(), false, 0);
        ZmTest::letTimersFire(700);
        dialog.startWaiting(QString(), false, -5);
        ZmTest::letTimersFire(300);
        QCOMPARE(timedOut.count(), 0);
    }

    void stopBeforeTheLimitCancelsIt()
    {
        WattingDlg dialog;
        QSignalSpy timedOut(&dialog, &WattingDlg::signalTimeout);
        dialog.startWaiting(QString(), false, 200);
        QVERIFY(dialog.stopWaiting());
        ZmTest::letTimersFire(700);
        QCOMPARE(timedOut.count(), 0);
        QVERIFY(!dialog.isVisible());
    }

    void startWithoutLimitKeepsAnEarlierLimit()
    {
        WattingDlg dialog;
        QSignalSpy timedOut(&dialog, &WattingDlg::signalTimeout);
        dialog.startWaiting("first", false, 300);
        dialog.startWaiting("second", false, 0);
        QTRY_COMPARE(timedOut.count(), 1);
        QCOMPARE(dialog.textLabel()->text(), QStringLiteral("second"));
    }

    void destroyedWhileWaitingStopsEverything()
    {
        auto* dialog = new WattingDlg;
        QSignalSpy timedOut(dialog, &WattingDlg::signalTimeout);
        dialog->startWaiting(QString(), false, 100);
        QPointer<QTimer> timer = animationTimer(*dialog);
        QVERIFY(timer);
        delete dialog;
        QVERIFY(timer.isNull());
        ZmTest::letTimersFire(400);
        QCOMPARE(timedOut.count(), 0);
    }
};

ZM_TEST_MAIN(TestWattingDlg)
#include "tst_wattingdlg.moc"
