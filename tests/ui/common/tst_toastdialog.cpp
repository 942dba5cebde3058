#include "ui/common/ToastDialog.h"

#include "ZmTestMain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>

namespace {

QLabel* label(QWidget& toast, const char* name)
{
    return toast.findChild<QLabel*>(QLatin1String(name));
}

QWidget* background(QWidget& toast)
{
    return toast.findChild<QWidget*>(QStringLiteral("widget_bg"));
}

QTimer* hideTimer(QWidget& toast)
{
    return toast.findChild<QTimer*>();
}

// A derived toast that counts its own hideToast, as the place-and-delete variant of the settings does.
class CountingToast : public ToastDialog
{
public:
    using ToastDialog::ToastDialog;
    void hideToast() override
    {
        ++hides;
        ToastDialog::hideToast();
    }
    int hides = 0;
};

} // namespace

class TestToastDialog : public QObject
{
    Q_OBJECT

private slots:
    void startsAsAHiddenTranslucentStrip()
    {
        ToastDialog toast;
        QCOMPARE(toast.objectName(), QStringLiteral("ToastDialog"));
        QCOMPARE(toast.windowFlags(), Qt::Dialog | Qt::FramelessWindowHint | Qt::Tool);
        QVERIFY(toast.testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(!toast.testAttribute(Qt::WA_NoSystemBackground));
        QCOMPARE(toast.size(), QSize(234, 53));
        QCOMPARE(toast.minimumSize(), QSize(234, 53));
        QCOMPARE(toast.maximumHeight(), 53);
        QVERIFY(!toast.isVisible());
        auto* icon = label(toast, "label_icon");
        auto* text = label(toast, "label_text");
        QVERIFY(icon && text && background(toast));
        QVERIFY(icon->isHidden());
        QCOMPARE(text->alignment(), Qt::Alignment(Qt::AlignHCenter));
        QCOMPARE(background(toast)->styleSheet(), QString());
    }

    void typeChoosesColoursAndIcon_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("icon");
        QTest::newRow("success") << 0 << "rgb(243,250,240,200)"
                                 << "succ.png";
        QTest::newRow("warning") << 1 << "rgb(255,246,230,200)"
                                 << "warning.png";
        QTest::newRow("error") << 2 << "rgb(255,238,230,200)"
                               << "error.png";
    }

    void typeChoosesColoursAndIcon()
    {
        QFETCH(int, type);
        QFETCH(QString, colour);
        QFETCH(QString, icon);
        ToastDialog toast;
        toast.showToast(type, "Saved");
        auto* iconLabel = label(toast, "label_icon");
        auto* textLabel = label(toast, "label_text");
        QVERIFY(iconLabel && textLabel && background(toast));
        QVERIFY(background(toast)->styleSheet().contains(colour));
        QVERIFY(background(toast)->styleSheet().startsWith("QWidget#widget_bg{"));
        QCOMPARE(iconLabel->styleSheet(),
                 QString("QLabel{image:url(:/imageRes/image/res/%1); background-color:transparent;}").arg(icon));
        QCOMPARE(textLabel->text(), QStringLiteral("Saved"));
        QVERIFY(toast.isVisible());
    }

    void unknownTypeKeepsThePreviousColours()
    {
        ToastDialog toast;
        toast.showToast(2, "Failed");
        auto* iconLabel = label(toast, "label_icon");
        auto* textLabel = label(toast, "label_text");
        QVERIFY(iconLabel && textLabel && background(toast));
        const QString colours = background(toast)->styleSheet();
        const QString icon = iconLabel->styleSheet();
        toast.showToast(5, "Other text");
        QCOMPARE(background(toast)->styleSheet(), colours);
        QCOMPARE(iconLabel->styleSheet(), icon);
        QCOMPARE(textLabel->text(), QStringLiteral("Other text"));
    }

    void widthIsTextWidthPlus96_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << "OK";
        QTest::newRow("long") << "The courseware was imported and is ready for the next lesson";
    }

    void widthIsTextWidthPlus96()
    {
        QFETCH(QString, text);
        ToastDialog toast;
        toast.showToast(0, text);
        QLabel* textLabel = label(toast, "label_text");
        QVERIFY(textLabel);
        const int expected = textLabel->sizeHint().width() + 96;
        QCOMPARE(toast.width(), expected);
        QCOMPARE(toast.minimumWidth(), expected);
        QCOMPARE(toast.maximumWidth(), expected);
        QCOMPARE(toast.height(), 53);
    }

    void secondShowReplacesTextAndRestartsTheTimer()
    {
        ToastDialog toast;
        toast.showToast(0, "First notice");
        const int firstWidth = toast.width();
        QTimer* timer = hideTimer(toast);
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 3000);
        QVERIFY(!timer->isSingleShot());
        // A timer part-way through its time: a second show starts it over with the whole three seconds.
        timer->start(1000);

        toast.showToast(1, "A much longer second notice for the user");

        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QVERIFY(toast.width() > firstWidth);
        QLabel* textLabel = label(toast, "label_text");
        QVERIFY(textLabel);
        QCOMPARE(textLabel->text(), QStringLiteral("A much longer second notice for the user"));
    }

    void hidesItselfAfterThreeSecondsOnce()
    {
        ToastDialog toast;
        QSignalSpy timedOut(&toast, &ToastDialog::sigToastShowTimeOut);
        toast.showToast(0, "Saved");
        QVERIFY(toast.isVisible());
        QTRY_VERIFY(!toast.isVisible());
        QCOMPARE(timedOut.count(), 1);
        QVERIFY(!hideTimer(toast)->isActive());
    }

    void hideToastSignalsEvenWhenAlreadyHidden()
    {
        ToastDialog toast;
        QSignalSpy timedOut(&toast, &ToastDialog::sigToastShowTimeOut);
        toast.hideToast();
        QCOMPARE(timedOut.count(), 1);
        toast.showToast(0, "Saved");
        toast.hideToast();
        QVERIFY(!toast.isVisible());
        QCOMPARE(timedOut.count(), 2);
    }

    void timeoutCallsTheDerivedHide()
    {
        CountingToast toast;
        toast.showToast(1, "Check your network");
        QTRY_COMPARE(toast.hides, 1);
        QVERIFY(!toast.isVisible());
    }
};

ZM_TEST_MAIN(TestToastDialog)
#include "tst_toastdialog.moc"
