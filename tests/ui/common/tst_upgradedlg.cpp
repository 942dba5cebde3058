#include "ui/common/UpgradeDlg.h"

#include "ZmTestMain.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kOk = 0x400;
constexpr int kDiscard = 0x800000;
constexpr int kCancel = 0x400000;
constexpr int kYes = 0x4000;
constexpr int kNo = 0x10000;

const QString kFormIcon = QStringLiteral("border-image: url(:/buttons/res/box_warning.png);");
const QString kCriticalIcon = QStringLiteral("border-image: url(:/buttons/res/box_critical.png);");

QPushButton* button(UpgradeDlg& dialog, int number)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("button%1").arg(number));
}

// Sends a mouse event with the given global position straight to the dialog.
void sendMouse(UpgradeDlg& dialog, QEvent::Type type, const QPoint& global)
{
    const Qt::MouseButton which = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, dialog.mapFromGlobal(global), global, which, held, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &event);
}

} // namespace

class TestUpgradeDlg : public QObject
{
    Q_OBJECT

private slots:
    void formBasics()
    {
        UpgradeDlg dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("UpgradeDlg"));
        QCOMPARE(dialog.size(), QSize(384, 198));
        QCOMPARE(dialog.windowFlags(), Qt::FramelessWindowHint | Qt::Dialog);
        QVERIFY(button(dialog, 1) && button(dialog, 2) && button(dialog, 3));
        QCOMPARE(button(dialog, 1)->text(), QStringLiteral("OK"));
        QCOMPARE(button(dialog, 2)->text(), QStringLiteral("Reject"));
        QCOMPARE(button(dialog, 3)->text(), QStringLiteral("Cancel"));
        QCOMPARE(dialog.clickedButton(), 0);
    }

    void flagsChooseIconAndButtons_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("icon");      // "hidden", or the expected style sheet
        QTest::addColumn<QStringList>("texts"); // visible buttons, in order
        QTest::addColumn<QList<int>>("lefts");

        QTest::newRow("question, OK and Cancel")
            << 0x400404 << kFormIcon << QStringList{"OK", "Cancel"} << QList<int>{74, 208};
        QTest::newRow("unknown close bit, critical")
            << 0x200003 << kCriticalIcon << QStringList{"OK", "Reject", "Cancel"} << QList<int>{10, 130, 250};
        QTest::newRow("four buttons keep the form's places")
            << (kOk | kCancel | kYes | kNo | 2) << kFormIcon << QStringList{"OK", "Cancel", "Yes"}
            << QList<int>{10, 130, 250};
        QTest::newRow("Yes then No, no icon") << 0x14000 << "hidden" << QStringList{"Yes", "No"} << QList<int>{74, 208};
        QTest::newRow("one button centred") << (kOk | 1) << kFormIcon << QStringList{"OK"} << QList<int>{141};
        QTest::newRow("three buttons spread") << (kOk | kDiscard | kCancel | 3) << kCriticalIcon
                                              << QStringList{"OK", "Discard", "Cancel"} << QList<int>{20, 141, 262};
        QTest::newRow("icon 5 keeps the form's") << (kNo | 5) << kFormIcon << QStringList{"No"} << QList<int>{141};
        QTest::newRow("icon 6 keeps the form's") << (kYes | 6) << kFormIcon << QStringList{"Yes"} << QList<int>{141};
        QTest::newRow("icon 7 keeps the form's")
            << (kDiscard | 7) << kFormIcon << QStringList{"Discard"} << QList<int>{141};
    }

    void flagsChooseIconAndButtons()
    {
        QFETCH(int, flags);
        QFETCH(QString, icon);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, lefts);

        UpgradeDlg dialog("Updater", "Would you like to download the update now?", flags);

        QWidget* iconBox = dialog.findChild<QWidget*>(QStringLiteral("widget_icon"));
        auto* title = dialog.findChild<QLabel*>(QStringLiteral("lbl_dialog_title"));
        auto* content = dialog.findChild<QLabel*>(QStringLiteral("lbl_content"));
        QVERIFY(iconBox && title && content);
        if (icon == "hidden") {
            QVERIFY(iconBox->isHidden());
        } else {
            QVERIFY(!iconBox->isHidden());
            QCOMPARE(iconBox->styleSheet(), icon);
        }

        QStringList shown;
        QList<int> shownLefts;
        for (int i = 1; i <= 3; ++i) {
            QPushButton* b = button(dialog, i);
            QVERIFY(b);
            QCOMPARE(b->size(), QSize(101, 31));
            QCOMPARE(b->y(), 0);
            if (!b->isHidden()) {
                shown << b->text();
                shownLefts << b->x();
            }
        }
        QCOMPARE(shown, texts);
        QCOMPARE(shownLefts, lefts);
        QCOMPARE(title->text(), QStringLiteral("Updater"));
        QCOMPARE(content->text(), QStringLiteral("Would you like to download the update now?"));
    }

    void buttonsReportTheirCodes_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<int>("execResult");
        QTest::addColumn<int>("clicked");

        QTest::newRow("OK") << 0x400404 << "button1" << 1 << kOk;
        QTest::newRow("Cancel") << 0x400404 << "button2" << 1 << kCancel;
        QTest::newRow("third of three") << (kOk | kDiscard | kCancel) << "button3" << 1 << kCancel;
        QTest::newRow("No after Yes") << 0x14000 << "button2" << 1 << kNo;
        QTest::newRow("close button") << 0x400404 << "btn_close" << 0 << 0;
        QTest::newRow("no known bit: any button gives 0") << 0x200003 << "button2" << 1 << 0;
    }

    void buttonsReportTheirCodes()
    {
        QFETCH(int, flags);
        QFETCH(QString, pressed);
        QFETCH(int, execResult);
        QFETCH(int, clicked);

        UpgradeDlg dialog("Updater", "Cannot find downloaded update!", flags);
        auto* target = dialog.findChild<QAbstractButton*>(pressed);
        QVERIFY(target);
        QTimer::singleShot(0, &dialog, [target] { QTest::mouseClick(target, Qt::LeftButton); });
        QCOMPARE(dialog.exec(), execResult);
        QCOMPARE(dialog.clickedButton(), clicked);
    }

    void escapeGivesZero()
    {
        UpgradeDlg dialog("Updater", "Question", 0x400404);
        QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        QCOMPARE(dialog.exec(), 0);
        QCOMPARE(dialog.clickedButton(), 0);
    }

    void dragsOnlyByTheTitleStrip()
    {
        UpgradeDlg dialog("Updater", "Question", 0x400404);
        dialog.move(200, 200);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        const QPoint start = dialog.pos();

        QWidget* content = dialog.findChild<QWidget*>(QStringLiteral("lbl_content"));
        QWidget* bar = dialog.findChild<QWidget*>(QStringLiteral("widget_bar"));
        QVERIFY(content && bar);
        const QPoint inContent = content->mapToGlobal(content->rect().center());
        sendMouse(dialog, QEvent::MouseButtonPress, inContent);
        sendMouse(dialog, QEvent::MouseMove, inContent + QPoint(40, 30));
        sendMouse(dialog, QEvent::MouseButtonRelease, inContent + QPoint(40, 30));
        QCOMPARE(dialog.pos(), start);

        const QPoint inBar = bar->mapToGlobal(QPoint(20, 10));
        sendMouse(dialog, QEvent::MouseButtonPress, inBar);
        sendMouse(dialog, QEvent::MouseMove, inBar + QPoint(40, 30));
        QCOMPARE(dialog.pos(), start + QPoint(40, 30));
        sendMouse(dialog, QEvent::MouseButtonRelease, inBar + QPoint(40, 30));
        sendMouse(dialog, QEvent::MouseMove, inBar + QPoint(90, 90));
        QCOMPARE(dialog.pos(), start + QPoint(40, 30));
    }
};

ZM_TEST_MAIN(TestUpgradeDlg)
#include "tst_upgradedlg.moc"
