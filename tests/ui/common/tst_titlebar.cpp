#include "ui/common/MyTitleBar.h"
#include "ui/common/TitleBarDialogs.h"

#include "app/ConfigManager.h"

#include "ZmTestMain.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

namespace {

// Records what the title bar asks for and hands out a plain dialog as the feedback hint.
class RecordingDialogs : public TitleBarDialogs
{
public:
    QDialog* createFeedbackTip(QWidget* parent) override
    {
        ++tipsCreated;
        auto* tip = new QDialog(parent);
        tip->setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
        tip->setModal(true);
        tip->setFixedSize(258, 81);
        return tip;
    }
    void openFeedbackForm(QWidget* parent) override
    {
        ++formsOpened;
        lastParent = parent;
    }
    void openDeviceCheck(QWidget* parent) override
    {
        ++deviceChecksOpened;
        lastParent = parent;
    }

    int tipsCreated = 0;
    int formsOpened = 0;
    int deviceChecksOpened = 0;
    QWidget* lastParent = nullptr;
};

// A top-level window holding a title bar across its top, as the room windows do.
struct TitleBarWindow
{
    QWidget window;
    MyTitleBar* bar;

    TitleBarWindow()
        : bar(new MyTitleBar(&window))
    {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.resize(1200, 300);
        bar->setFixedWidth(1200);
    }

    template <typename T = QWidget> T* child(const char* name) const { return bar->findChild<T*>(QLatin1String(name)); }
    // A widget that is missing fails the test and counts as hidden.
    bool shown(const char* name) const
    {
        QWidget* widget = child(name);
        if (!widget)
            QTest::qFail(qPrintable(QStringLiteral("the title bar has no %1").arg(name)), __FILE__, __LINE__);
        return widget && !widget->isHidden();
    }
};

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& globalPos)
{
    QMouseEvent event(type, target->mapFromGlobal(globalPos), globalPos, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

void setKnowFeedback(int value)
{
    if (value < 0)
        ConfigManager::instance()->ini_RemoveParam("AppInfo/I_KnowFeedback");
    else
        ConfigManager::instance()->ini_SetParam_Int("AppInfo/I_KnowFeedback", value);
}

QImage normalized(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestTitleBar : public QObject
{
    Q_OBJECT

private:
    RecordingDialogs m_dialogs;

private slots:
    void initTestCase()
    {
        QVERIFY(ConfigManager::instance()->hasSettings());
        TitleBarDialogs::install(&m_dialogs);
    }

    void init()
    {
        m_dialogs = RecordingDialogs();
        setKnowFeedback(1); // no hint unless a test asks for it
    }

    void cleanupTestCase() { TitleBarDialogs::install(nullptr); }

    void rowOrderAndInitialState()
    {
        TitleBarWindow w;
        const QStringList expected = {
            "productIcon",        "ButtonBackward", "ButtonForward", "ButtonReload",  "ButtonSetting",  "ButtonHome",
            "ButtonShareDesktop", "ButtonFeedback", "ButtonImport",  "TitleContent",  "productVersion", "PeriodID",
            "CpuUsage",           "ButtonNetwork",  "ButtonMin",     "ButtonRestore", "ButtonMax",      "ButtonClose"};
        auto* layout = qobject_cast<QHBoxLayout*>(w.bar->layout());
        QVERIFY(layout);
        QStringList order;
        for (int i = 0; i < layout->count(); ++i)
            order << layout->itemAt(i)->widget()->objectName();
        QCOMPARE(order, expected);
        QCOMPARE(layout->spacing(), 24);
        QCOMPARE(layout->contentsMargins(), QMargins(5, 0, 0, 0));
        QCOMPARE(layout->itemAt(expected.indexOf("ButtonNetwork"))->alignment(), Qt::AlignBottom);

        QCOMPARE(w.bar->height(), 46);
        QCOMPARE(w.bar->windowButtonsMode(), 1);
        for (const char* hidden : {"ButtonShareDesktop", "ButtonNetwork", "ButtonImport", "CpuUsage"})
            QVERIFY2(!w.shown(hidden), hidden);
        for (const char* name : {"ButtonMin", "ButtonRestore", "ButtonMax", "ButtonClose", "ButtonFeedback"})
            QVERIFY2(w.shown(name), name);
        auto* feedback = w.child<QPushButton>("ButtonFeedback");
        auto* version = w.child<QLabel>("productVersion");
        auto* network = w.child<QToolButton>("ButtonNetwork");
        QVERIFY(feedback && version && network);
        QCOMPARE(feedback->size(), QSize(30, 24));
        QCOMPARE(feedback->toolTip(), QString("Help"));
        QVERIFY(version->text().startsWith("VERSION: "));
        QCOMPARE(version->text().count('.'), 2);
        QCOMPARE(network->text(), QString("GREAT"));
        // The resource sheet was appended.
        QVERIFY(w.bar->styleSheet().contains("QPushButton#ButtonFeedback"));
    }

    void setters()
    {
        TitleBarWindow w;
        auto* title = w.child<QLabel>("TitleContent");
        auto* period = w.child<QLabel>("PeriodID");
        auto* icon = w.child<QLabel>("productIcon");
        QVERIFY(title && period && icon);
        w.bar->setTitleText("Lesson 12");
        QCOMPARE(title->text(), QString("Lesson 12"));
        w.bar->setPeriodId("88231");
        QCOMPARE(period->text(), QString("ID: 88231"));
        w.bar->setTitleIcon(":/Resources/MyTitle/home.png");
        QVERIFY(!icon->pixmap(Qt::ReturnByValue).isNull());
        w.bar->setCpuUsageVisible(true);
        QVERIFY(w.shown("CpuUsage"));
        w.bar->showNetworkButton();
        w.bar->showShareDesktopButton();
        QVERIFY(w.shown("ButtonNetwork") && w.shown("ButtonShareDesktop"));
        w.bar->setForwardButtonHidden(true);
        w.bar->setHomeButtonHidden(true);
        w.bar->setFeedbackButtonHidden(true);
        w.bar->setSettingButtonHidden(true);
        for (const char* name : {"ButtonForward", "ButtonHome", "ButtonFeedback", "ButtonSetting"})
            QVERIFY2(!w.shown(name), name);
        w.bar->setFeedbackButtonHidden(false);
        QVERIFY(w.shown("ButtonFeedback"));
    }

    void buttonsModes_data()
    {
        QTest::addColumn<QList<int>>("modes");
        QTest::addColumn<bool>("min");
        QTest::addColumn<bool>("restore");
        QTest::addColumn<bool>("max");
        QTest::newRow("0") << QList<int>{0} << true << false << false;
        QTest::newRow("1") << QList<int>{1} << true << false << true;
        QTest::newRow("2") << QList<int>{2} << false << false << false;
        QTest::newRow("other value") << QList<int>{7} << true << true << true;
        QTest::newRow("2 then 1 shows nothing again") << QList<int>{2, 1} << false << false << false;
        QTest::newRow("0 then 1") << QList<int>{0, 1} << true << false << false;
    }

    void buttonsModes()
    {
        QFETCH(QList<int>, modes);
        QFETCH(bool, min);
        QFETCH(bool, restore);
        QFETCH(bool, max);
        TitleBarWindow w;
        for (int mode : modes)
            w.bar->setWindowButtonsMode(mode);
        QCOMPARE(w.bar->windowButtonsMode(), modes.last());
        QCOMPARE(w.shown("ButtonMin"), min);
        QCOMPARE(w.shown("ButtonRestore"), restore);
        QCOMPARE(w.shown("ButtonMax"), max);
        QVERIFY(w.shown("ButtonClose"));
    }

    void maximiseAndRestoreButtons()
    {
        TitleBarWindow w;
        w.bar->setWindowButtonsMode(1);
        QSignalSpy maxSpy(w.bar, SIGNAL(signalButtonMaxClicked()));
        QSignalSpy restoreSpy(w.bar, SIGNAL(signalButtonRestoreClicked()));

        w.bar->setMaximizedState();
        QCOMPARE(maxSpy.count(), 1);
        QVERIFY(!w.shown("ButtonMax") && w.shown("ButtonRestore"));

        auto* restore = w.child<QPushButton>("ButtonRestore");
        auto* max = w.child<QPushButton>("ButtonMax");
        QVERIFY(restore && max);
        QTest::mouseClick(restore, Qt::LeftButton);
        QCOMPARE(restoreSpy.count(), 1);
        QVERIFY(w.shown("ButtonMax") && !w.shown("ButtonRestore"));

        QTest::mouseClick(max, Qt::LeftButton);
        QCOMPARE(maxSpy.count(), 2);
        QVERIFY(!w.shown("ButtonMax") && w.shown("ButtonRestore"));
    }

    void buttonSignals_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("back") << "ButtonBackward" << QByteArray(SIGNAL(signalButtonBackClicked()));
        QTest::newRow("forward") << "ButtonForward" << QByteArray(SIGNAL(signalButtonForwardClicked()));
        QTest::newRow("reload") << "ButtonReload" << QByteArray(SIGNAL(signalButtonReloadClicked()));
        QTest::newRow("setting") << "ButtonSetting" << QByteArray(SIGNAL(signalButtonSettingClicked()));
        QTest::newRow("home") << "ButtonHome" << QByteArray(SIGNAL(signalButtonHomeClicked()));
        QTest::newRow("share") << "ButtonShareDesktop" << QByteArray(SIGNAL(signalButtonShareDesktopClicked()));
        QTest::newRow("import") << "ButtonImport" << QByteArray(SIGNAL(signalButtonImportClicked()));
        QTest::newRow("network") << "ButtonNetwork" << QByteArray(SIGNAL(signalButtonNetworkStatusClicked()));
        QTest::newRow("min") << "ButtonMin" << QByteArray(SIGNAL(signalButtonMinClicked()));
        QTest::newRow("close") << "ButtonClose" << QByteArray(SIGNAL(signalButtonCloseClicked()));
    }

    void buttonSignals()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, signal);
        TitleBarWindow w;
        QSignalSpy spy(w.bar, signal.constData());
        QSignalSpy anyMax(w.bar, SIGNAL(signalButtonMaxClicked()));
        auto* target = w.bar->findChild<QAbstractButton*>(button);
        QVERIFY(target);
        target->click();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(anyMax.count(), 0);
    }

    void feedbackAndDeviceCheckOpenOverTheWindow()
    {
        TitleBarWindow w;
        auto* feedback = w.child<QPushButton>("ButtonFeedback");
        QVERIFY(feedback);
        feedback->click();
        QCOMPARE(m_dialogs.formsOpened, 1);
        QCOMPARE(m_dialogs.lastParent, &w.window);
        m_dialogs.lastParent = nullptr;
        w.bar->onButtonConfigerClicked();
        QCOMPARE(m_dialogs.deviceChecksOpened, 1);
        QCOMPARE(m_dialogs.lastParent, &w.window);
    }

    void withoutInstalledDialogsNothingOpens()
    {
        TitleBarDialogs::install(nullptr);
        setKnowFeedback(-1);
        {
            TitleBarWindow w;
            w.window.show();
            auto* feedback = w.child<QPushButton>("ButtonFeedback");
            QVERIFY(feedback);
            feedback->click();
            w.bar->onButtonConfigerClicked();
            QTRY_VERIFY(!w.bar->feedbackTipCheck());
            QVERIFY(!w.bar->feedbackTip());
        }
        TitleBarDialogs::install(&m_dialogs);
        QCOMPARE(m_dialogs.formsOpened + m_dialogs.deviceChecksOpened + m_dialogs.tipsCreated, 0);
    }

    void cpuUsage_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        QTest::newRow("0") << 0 << "CPU: 0%"
                           << "#7ED321";
        QTest::newRow("39") << 39 << "CPU: 39%"
                            << "#7ED321";
        QTest::newRow("40") << 40 << "CPU: 40%"
                            << "#FF6129";
        QTest::newRow("69") << 69 << "CPU: 69%"
                            << "#FF6129";
        QTest::newRow("70") << 70 << "CPU: 70%"
                            << "#F53838";
        QTest::newRow("100") << 100 << "CPU: 100%"
                             << "#F53838";
        QTest::newRow("no reading") << -1 << "CPU: -1%"
                                    << "#7ED321";
    }

    void cpuUsage()
    {
        QFETCH(int, percent);
        QFETCH(QString, text);
        QFETCH(QString, colour);
        TitleBarWindow w;
        w.bar->setCpuUsage(percent);
        auto* label = w.child<QLabel>("CpuUsage");
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->styleSheet(), QString("QLabel{\nmargin-top:1px;margin-bottom:-1px;color:%1;\n}").arg(colour));
    }

    void networkQuality_data()
    {
        QTest::addColumn<int>("tx");
        QTest::addColumn<int>("rx");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("icon");
        // The bar is set to "POOR" first, so the rows that keep the text show it.
        QTest::newRow("0,0") << 0 << 0 << 1 << "GREAT"
                             << "#7ED321"
                             << "network_good.png";
        QTest::newRow("0,2") << 0 << 2 << 1 << "GREAT"
                             << "#7ED321"
                             << "network_good.png";
        QTest::newRow("0,3") << 0 << 3 << 2 << "GOOD"
                             << "#FF6129"
                             << "network_bad.png";
        QTest::newRow("0,4") << 0 << 4 << 2 << "GOOD"
                             << "#FF6129"
                             << "network_bad.png";
        QTest::newRow("0,5") << 0 << 5 << 3 << "POOR"
                             << "#F53838"
                             << "network_terrible.png";
        QTest::newRow("0,6") << 0 << 6 << 3 << "POOR"
                             << "#F53838"
                             << "network_terrible.png";
        QTest::newRow("6,1 tx ignored") << 6 << 1 << 1 << "GREAT"
                                        << "#7ED321"
                                        << "network_good.png";
        QTest::newRow("0,7 keeps text") << 0 << 7 << 0 << "POOR"
                                        << "#7ED321"
                                        << "network_good.png";
        QTest::newRow("0,-1 keeps text") << 0 << -1 << 0 << "POOR"
                                         << "#7ED321"
                                         << "network_good.png";
    }

    void networkQuality()
    {
        QFETCH(int, tx);
        QFETCH(int, rx);
        QFETCH(int, level);
        QFETCH(QString, text);
        QFETCH(QString, colour);
        QFETCH(QString, icon);
        QCOMPARE(MyTitleBar::networkLevelFor(rx), level);

        TitleBarWindow w;
        w.bar->setNetworkQuality(6, 6);
        w.bar->setNetworkQuality(tx, rx);
        auto* button = w.child<QToolButton>("ButtonNetwork");
        QVERIFY(button);
        QCOMPARE(button->text(), text);
        QVERIFY(button->styleSheet().startsWith(
            QString("QToolButton#ButtonNetwork { margin-top:6px;margin-bottom:6px; color:%1; ").arg(colour)));
        QCOMPARE(button->height(), 40);
        QCOMPARE(button->font().family(), QString("Microsoft YaHei"));
        QCOMPARE(button->font().pointSize(), 10);
        const QImage expected = normalized(QImage(":/Resources/MyTitle/" + icon));
        QVERIFY(!expected.isNull());
        QCOMPARE(normalized(button->icon().pixmap(expected.size()).toImage()), expected);
    }

    void drag_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("filling");
        QTest::addColumn<bool>("moves");
        QTest::newRow("mode 0") << 0 << false << true;
        QTest::newRow("mode 0 filling") << 0 << true << true;
        QTest::newRow("mode 1 normal") << 1 << false << true;
        QTest::newRow("mode 1 filling") << 1 << true << false;
        QTest::newRow("mode 2") << 2 << false << true;
        QTest::newRow("mode 2 filling") << 2 << true << true;
    }

    void drag()
    {
        QFETCH(int, mode);
        QFETCH(bool, filling);
        QFETCH(bool, moves);
        TitleBarWindow w;
        w.bar->setWindowButtonsMode(mode);
        if (filling)
            w.bar->setMaximizedState();
        w.window.move(100, 100);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window, ZmTest::kWaitMs));
        const QPoint start = w.window.pos();
        const QPoint grip = w.bar->mapToGlobal(QPoint(600, 20));

        sendMouse(w.bar, QEvent::MouseButtonPress, grip);
        sendMouse(w.bar, QEvent::MouseMove, grip + QPoint(30, 12));
        sendMouse(w.bar, QEvent::MouseMove, grip + QPoint(50, 20));
        sendMouse(w.bar, QEvent::MouseButtonRelease, grip + QPoint(50, 20));
        QCOMPARE(w.window.pos(), moves ? start + QPoint(50, 20) : start);

        // After the release, moving alone moves nothing.
        sendMouse(w.bar, QEvent::MouseMove, grip + QPoint(90, 90));
        QCOMPARE(w.window.pos(), moves ? start + QPoint(50, 20) : start);
    }

    void doubleClick_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("filling");
        QTest::addColumn<int>("maxSignals");
        QTest::addColumn<int>("restoreSignals");
        QTest::newRow("mode 1 normal maximises") << 1 << false << 1 << 0;
        QTest::newRow("mode 1 filling restores") << 1 << true << 0 << 1;
        QTest::newRow("mode 0 nothing") << 0 << false << 0 << 0;
        QTest::newRow("mode 2 nothing") << 2 << false << 0 << 0;
        QTest::newRow("mode 2 filling nothing") << 2 << true << 0 << 0;
    }

    void doubleClick()
    {
        QFETCH(int, mode);
        QFETCH(bool, filling);
        QFETCH(int, maxSignals);
        QFETCH(int, restoreSignals);
        TitleBarWindow w;
        w.bar->setWindowButtonsMode(mode);
        if (filling)
            w.bar->setMaximizedState();
        QSignalSpy maxSpy(w.bar, SIGNAL(signalButtonMaxClicked()));
        QSignalSpy restoreSpy(w.bar, SIGNAL(signalButtonRestoreClicked()));
        QTest::mouseDClick(w.bar, Qt::LeftButton, Qt::NoModifier, QPoint(600, 20));
        QCOMPARE(maxSpy.count(), maxSignals);
        QCOMPARE(restoreSpy.count(), restoreSignals);
    }

    void rollingTitle()
    {
        TitleBarWindow w;
        w.bar->setTitleText("ABCDE");
        auto* title = w.child<QLabel>("TitleContent");
        QVERIFY(title);
        // The roll position is shared by all title bars: roll until the whole title shows (position 0).
        int rolls = 0;
        do {
            w.bar->onRollTitle();
        } while (title->text() != "ABCDE" && ++rolls < 10);
        QCOMPARE(title->text(), QString("ABCDE"));
        QStringList seen;
        for (int i = 0; i < 7; ++i) {
            w.bar->onRollTitle();
            seen << title->text();
        }
        QCOMPARE(seen, QStringList({"BCDE", "CDE", "DE", "E", "", "ABCDE", "BCDE"}));

        w.bar->startRollTitle();
        w.bar->startRollTitle();
        const QString before = title->text();
        QTRY_VERIFY(title->text() != before);
    }

    void feedbackHint_data()
    {
        QTest::addColumn<int>("setting"); // -1: missing
        QTest::addColumn<bool>("feedbackHidden");
        QTest::addColumn<bool>("shown");
        QTest::newRow("missing") << -1 << false << true;
        QTest::newRow("0") << 0 << false << true;
        QTest::newRow("1") << 1 << false << false;
        QTest::newRow("5") << 5 << false << false;
        QTest::newRow("missing, feedback hidden") << -1 << true << false;
    }

    void feedbackHint()
    {
        QFETCH(int, setting);
        QFETCH(bool, feedbackHidden);
        QFETCH(bool, shown);
        setKnowFeedback(setting);
        TitleBarWindow w;
        w.bar->setFeedbackButtonHidden(feedbackHidden);
        w.window.move(50, 60);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window, ZmTest::kWaitMs));
        // Not before its delayed check has run.
        QVERIFY(w.bar->feedbackTipCheck());
        QCOMPARE(w.bar->feedbackTipCheck()->interval(), 1000);
        QVERIFY(!w.bar->feedbackTip());
        QTRY_VERIFY(!w.bar->feedbackTipCheck());
        QCOMPARE(m_dialogs.tipsCreated, shown ? 1 : 0);
        if (!shown) {
            QVERIFY(!w.bar->feedbackTip());
            return;
        }
        QDialog* tip = w.bar->feedbackTip();
        QVERIFY(tip);
        QVERIFY(tip->isVisible());
        QVERIFY(!tip->isModal());
        QCOMPARE(tip->parentWidget(), &w.window);
        auto* button = w.child<QPushButton>("ButtonFeedback");
        QVERIFY(button);
        const QPoint underButton = button->mapToGlobal(QPoint(button->width() / 2, button->height()));
        QCOMPARE(tip->pos(), underButton - QPoint(tip->width() / 2, 0));

        // Follows the button when the bar is resized.
        w.window.move(150, 90);
        w.bar->setFixedWidth(1100);
        QCOMPARE(tip->pos(),
                 button->mapToGlobal(QPoint(button->width() / 2, button->height())) - QPoint(tip->width() / 2, 0));
    }

    void feedbackHintGoesWithTheTitleBar()
    {
        setKnowFeedback(-1);
        TitleBarWindow w;
        w.window.show();
        QTRY_VERIFY(w.bar->feedbackTip());
        QPointer<QDialog> tip = w.bar->feedbackTip();
        delete w.bar;
        QVERIFY(tip.isNull());
    }

    void titleBarGoneBeforeTheHintIsDue()
    {
        setKnowFeedback(-1);
        TitleBarWindow w;
        w.window.show();
        const QPointer<QTimer> check = w.bar->feedbackTipCheck();
        QVERIFY(check);
        delete w.bar;
        // The pending check goes with the title bar, so it can never run.
        QVERIFY(check.isNull());
        QCoreApplication::processEvents();
        QCOMPARE(m_dialogs.tipsCreated, 0);
        QCOMPARE(w.window.findChildren<QDialog*>().size(), 0);
    }
};

ZM_TEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
