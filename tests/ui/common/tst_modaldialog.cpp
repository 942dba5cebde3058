#include "ui/common/ModalDialog.h"
#include "ui/common/QDelayTimer.h"

#include "ZmTestMain.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

namespace {

// What a done callback saw when it ran.
struct CallbackRecord
{
    int calls = 0;
    QObject* context = nullptr;
    int result = -1;
    bool dialogVisible = true;
    int dialogResult = -1;
};

void recordInto(ModalDialog& dialog, CallbackRecord& record, QObject* context)
{
    dialog.setDoneCallback(
        [&dialog, &record](QObject* ctx, int result) {
            ++record.calls;
            record.context = ctx;
            record.result = result;
            record.dialogVisible = dialog.isVisible();
            record.dialogResult = dialog.result();
        },
        context);
}

} // namespace

class TestModalDialog : public QObject
{
    Q_OBJECT

private slots:
    void constructsModal()
    {
        ModalDialog dialog;
        QVERIFY(dialog.isModal());
    }

    void acceptRunsCallbackAfterTheDialogIsHidden()
    {
        ModalDialog dialog;
        CallbackRecord record;
        recordInto(dialog, record, &dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));

        dialog.accept();

        QCOMPARE(record.calls, 1);
        QCOMPARE(record.context, &dialog);
        QCOMPARE(record.result, 1);
        QVERIFY(!record.dialogVisible);
        QCOMPARE(record.dialogResult, 1);
    }

    void rejectionsGiveZero_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("escape") << "escape";
        QTest::newRow("window closed") << "close";
        QTest::newRow("reject") << "reject";
    }

    void rejectionsGiveZero()
    {
        QFETCH(QString, how);
        ModalDialog dialog;
        CallbackRecord record;
        recordInto(dialog, record, &dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));

        if (how == "escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (how == "close")
            dialog.close();
        else
            dialog.reject();

        QCOMPARE(record.calls, 1);
        QCOMPARE(record.result, 0);
        QVERIFY(!dialog.isVisible());
    }

    void execReturnsTheCodeAfterTheCallbackRan()
    {
        ModalDialog dialog;
        CallbackRecord record;
        recordInto(dialog, record, &dialog);
        int callsWhenExecReturned = -1;
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(2621); });

        const int code = dialog.exec();
        callsWhenExecReturned = record.calls;

        QCOMPARE(code, 2621);
        QCOMPARE(callsWhenExecReturned, 1);
        QCOMPARE(record.result, 2621);
    }

    void secondCallbackReplacesFirstWithItsContext()
    {
        ModalDialog dialog;
        QObject otherContext;
        int firstCalls = 0;
        QObject* seenContext = nullptr;
        dialog.setDoneCallback([&firstCalls](QObject*, int) { ++firstCalls; }, &dialog);
        dialog.setDoneCallback([&seenContext](QObject* ctx, int) { seenContext = ctx; }, &otherContext);

        dialog.done(7);

        QCOMPARE(firstCalls, 0);
        QCOMPARE(seenContext, &otherContext);
    }

    void everyDoneRunsTheCallbackAgain()
    {
        ModalDialog dialog;
        CallbackRecord record;
        recordInto(dialog, record, &dialog);
        dialog.show();
        dialog.done(3);
        dialog.show();
        dialog.done(4);
        QCOMPARE(record.calls, 2);
        QCOMPARE(record.result, 4);
    }

    void withoutCallbackBehavesAsQDialog()
    {
        ModalDialog dialog;
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        dialog.done(5);
        QCOMPARE(dialog.result(), 5);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 5);
        QVERIFY(!dialog.isVisible());
    }

    void destroyedContextReachesTheCallbackAsNull()
    {
        ModalDialog dialog;
        CallbackRecord record;
        auto* context = new QObject;
        recordInto(dialog, record, context);
        delete context;

        dialog.done(1);

        QCOMPARE(record.calls, 1);
        QCOMPARE(record.context, nullptr);
    }

    void callbackMayReplaceItselfAndDeleteTheDialogLater()
    {
        auto* dialog = new ModalDialog;
        QPointer<ModalDialog> guard(dialog);
        int calls = 0;
        dialog->setDoneCallback(
            [&calls](QObject* ctx, int) {
                ++calls;
                auto* self = qobject_cast<ModalDialog*>(ctx);
                self->setDoneCallback(nullptr, nullptr);
                self->deleteLater();
            },
            dialog);
        dialog->show();
        dialog->accept();
        QCOMPARE(calls, 1);
        QTRY_VERIFY(guard.isNull());
    }

    // QDelayTimer

    void delayRunsOnceOnALaterPassAndDeletesItself()
    {
        int calls = 0;
        QDelayTimer* seen = nullptr;
        QDelayTimer* timer = QDelayTimer::delay(0, [&](QDelayTimer* t) {
            ++calls;
            seen = t;
        });
        QPointer<QDelayTimer> guard(timer);
        QVERIFY(timer->isSingleShot());
        QVERIFY(timer->isActive());
        QCOMPARE(timer->parent(), nullptr);
        QCOMPARE(calls, 0);

        QTRY_COMPARE(calls, 1);
        QCOMPARE(seen, timer);
        QTRY_VERIFY(guard.isNull());
        QTest::qWait(50);
        QCOMPARE(calls, 1);
    }

    void dataWordHoldsAPointer()
    {
        static_assert(sizeof(QDelayTimer::m_data) == sizeof(void*), "the data word carries a pointer");
        QObject target;
        QObject* read = nullptr;
        QDelayTimer* timer =
            QDelayTimer::delay(10, [&read](QDelayTimer* t) { read = reinterpret_cast<QObject*>(t->m_data); });
        QCOMPARE(timer->m_data, quintptr(0));
        timer->m_data = reinterpret_cast<quintptr>(&target);
        QTRY_COMPARE(read, &target);
    }

    void functionReadsItsContextBack()
    {
        QObject context;
        QObject* read = nullptr;
        QDelayTimer::delay(
            0, [&read](QDelayTimer* t) { read = t->context(); }, &context);
        QTRY_COMPARE(read, &context);
    }

    void destroyedContextSkipsTheFunction()
    {
        int calls = 0;
        auto* context = new QObject;
        QPointer<QDelayTimer> guard = QDelayTimer::delay(
            0, [&calls](QDelayTimer*) { ++calls; }, context);
        delete context;
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(calls, 0);
    }

    void emptyFunctionStillDeletesTheTimer()
    {
        QPointer<QDelayTimer> guard = QDelayTimer::delay(0, nullptr);
        QTRY_VERIFY(guard.isNull());
    }
};

ZM_TEST_MAIN(TestModalDialog)
#include "tst_modaldialog.moc"
