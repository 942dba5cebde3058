#include "ui/common/CancelOkWarningDlg.h"
#include "ui/common/DownloadLessonDlg.h"
#include "ui/common/ErrorDlg.h"
#include "ui/common/NetworkTipsDlg.h"
#include "ui/common/TryWarningDlg.h"

#include "app/records/InitTaskParams.h"

#include "ZmTestMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<ModalDialog> makeDialog(const QString& kind)
{
    if (kind == "confirm")
        return std::make_unique<CancelOkWarningDlg>();
    if (kind == "error")
        return std::make_unique<ErrorDlg>();
    if (kind == "retry")
        return std::make_unique<TryWarningDlg>();
    if (kind == "tips")
        return std::make_unique<NetworkTipsDlg>();
    return std::make_unique<DownloadLessonDlg>();
}

template <typename T> T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning() << "no child" << name;
    return found;
}

// The named label's text; a missing label fails the test and reads as empty.
QString labelText(QWidget& dialog, const char* name)
{
    auto* label = child<QLabel>(dialog, name);
    if (!label) {
        QTest::qFail(qPrintable(QStringLiteral("no label %1").arg(name)), __FILE__, __LINE__);
        return QString();
    }
    return label->text();
}

// A translation that makes every network tip four times as long.
class LongTipsTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        const QString text = QString::fromUtf8(source);
        if (qstrcmp(context, "NetworkTipsDlg") == 0 && text.contains(QLatin1Char('.')) && text.size() > 20)
            return text + " " + text + " " + text + " " + text;
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// Keeps a class-entry parameter block current for one test.
class ParamsScope
{
public:
    explicit ParamsScope(int forCase)
    {
        if (forCase >= 0)
            m_block = createInitTaskParams(forCase, nullptr, nullptr, nullptr, nullptr);
    }
    ~ParamsScope()
    {
        if (m_block)
            freeInitTaskParams(m_block);
    }

private:
    s_InitTask_Params* m_block = nullptr;
};

} // namespace

class TestCommonDialogs : public QObject
{
    Q_OBJECT

private slots:
    void everyWayOfEndingGivesItsCode_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("action"); // a button's object name, "escape" or "close"
        QTest::addColumn<int>("expected");

        QTest::newRow("confirm OK") << "confirm"
                                    << "okBtn" << 2621;
        QTest::newRow("confirm Cancel") << "confirm"
                                        << "cancelBtn" << 2622;
        QTest::newRow("confirm close cross") << "confirm"
                                             << "closeBtn" << 0;
        QTest::newRow("confirm Escape") << "confirm"
                                        << "escape" << 0;
        QTest::newRow("confirm window closed") << "confirm"
                                               << "close" << 0;
        QTest::newRow("error I know") << "error"
                                      << "iknowBtn" << 2602;
        QTest::newRow("error Escape") << "error"
                                      << "escape" << 0;
        QTest::newRow("error window closed") << "error"
                                             << "close" << 0;
        QTest::newRow("retry Retry") << "retry"
                                     << "tryBtn" << 11;
        QTest::newRow("retry Close") << "retry"
                                     << "closeBtn" << 10;
        QTest::newRow("retry Escape") << "retry"
                                      << "escape" << 0;
        QTest::newRow("retry window closed") << "retry"
                                             << "close" << 0;
        QTest::newRow("tips I know") << "tips"
                                     << "iknowBtn" << 1;
        QTest::newRow("tips Escape") << "tips"
                                     << "escape" << 0;
        QTest::newRow("tips window closed") << "tips"
                                            << "close" << 0;
        QTest::newRow("download Escape") << "download"
                                         << "escape" << 0;
    }

    void everyWayOfEndingGivesItsCode()
    {
        QFETCH(QString, kind);
        QFETCH(QString, action);
        QFETCH(int, expected);

        std::unique_ptr<ModalDialog> dialog = makeDialog(kind);
        int calls = 0;
        int code = -1;
        QObject* context = nullptr;
        dialog->setDoneCallback(
            [&](QObject* ctx, int result) {
                ++calls;
                code = result;
                context = ctx;
            },
            dialog.get());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get(), ZmTest::kWaitMs));

        if (action == "escape") {
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        } else if (action == "close") {
            dialog->close();
        } else {
            // The press alone decides: the release never comes.
            auto* target = dialog->findChild<QPushButton*>(action);
            QVERIFY(target);
            QTest::mousePress(target, Qt::LeftButton);
        }

        QCOMPARE(calls, 1);
        QCOMPARE(code, expected);
        QCOMPARE(context, dialog.get());
        QVERIFY(!dialog->isVisible());
    }

    void execReturnsTheButtonsCode_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("expected");
        QTest::newRow("confirm") << "confirm"
                                 << "okBtn" << 2621;
        QTest::newRow("error") << "error"
                               << "iknowBtn" << 2602;
        QTest::newRow("retry") << "retry"
                               << "tryBtn" << 11;
        QTest::newRow("tips") << "tips"
                              << "iknowBtn" << 1;
    }

    void execReturnsTheButtonsCode()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        QFETCH(int, expected);
        std::unique_ptr<ModalDialog> dialog = makeDialog(kind);
        auto* target = dialog->findChild<QPushButton*>(button);
        QVERIFY(target);
        QTimer::singleShot(0, dialog.get(), [target] { QTest::mousePress(target, Qt::LeftButton); });
        QCOMPARE(dialog->exec(), expected);
    }

    void smallDialogsAreFramelessModalToolWindows_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("size");
        QTest::newRow("confirm") << "confirm" << QSize(400, 175);
        QTest::newRow("error") << "error" << QSize(451, 200);
        QTest::newRow("retry") << "retry" << QSize(416, 228);
    }

    void smallDialogsAreFramelessModalToolWindows()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, size);
        std::unique_ptr<ModalDialog> dialog = makeDialog(kind);
        QCOMPARE(dialog->windowFlags(), Qt::Tool | Qt::FramelessWindowHint);
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(dialog->size(), size);
    }

    // Confirmation dialog

    void confirmationDefaults()
    {
        CancelOkWarningDlg dialog;
        auto* ok = child<QPushButton>(dialog, "okBtn");
        auto* cancel = child<QPushButton>(dialog, "cancelBtn");
        auto* title = child<QLabel>(dialog, "title");
        QVERIFY(ok && cancel && title);
        QCOMPARE(title->text(), QStringLiteral("Are you sure you want to exit?"));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(title->wordWrap());
        QCOMPARE(title->alignment(), Qt::AlignLeading | Qt::AlignLeft | Qt::AlignTop);
    }

    void confirmationSettersAndLayout()
    {
        CancelOkWarningDlg dialog;
        // Longer than the window's default height holds, in any of the fonts it may get.
        dialog.setMessageText("The reset will reconnect the camera and speakers, and solve the problems of video and "
                              "sound carton. The whole process will take about 5 seconds. Your teacher and your "
                              "classmates will see and hear you again once it is done. Are you sure?");
        dialog.setOkText("End the lesson now");
        dialog.setCancelText("Exit");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));

        auto* ok = child<QPushButton>(dialog, "okBtn");
        auto* cancel = child<QPushButton>(dialog, "cancelBtn");
        auto* title = child<QLabel>(dialog, "title");
        auto* pic = child<QLabel>(dialog, "pic");
        auto* close = child<QPushButton>(dialog, "closeBtn");
        QVERIFY(ok && cancel && title && pic && close);
        QCOMPARE(ok->text(), QStringLiteral("End the lesson now"));
        QCOMPARE(cancel->text(), QStringLiteral("Exit"));
        QVERIFY(ok->width() > 65);
        QCOMPARE(cancel->size(), QSize(65, 32));
        QCOMPARE(ok->height(), 32);
        QVERIFY(cancel->x() < ok->x());
        // The message wraps and starts level with the icon.
        QVERIFY(title->height() > 2 * title->fontMetrics().height());
        QVERIFY(title->height() >= title->heightForWidth(title->width()));
        QCOMPARE(dialog.width(), 400);
        QVERIFY(dialog.height() > 175);
        QCOMPARE(title->mapTo(&dialog, QPoint(0, 0)).y(), pic->mapTo(&dialog, QPoint(0, 0)).y());
        QCOMPARE(pic->size(), QSize(24, 24));
        QCOMPARE(close->size(), QSize(10, 10));
    }

    void hiddenCancelLeavesOkAndTheCross()
    {
        CancelOkWarningDlg dialog;
        dialog.setCancelButtonVisible(false);
        int code = -1;
        dialog.setDoneCallback([&code](QObject*, int result) { code = result; }, &dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        auto* cancel = child<QPushButton>(dialog, "cancelBtn");
        auto* close = child<QPushButton>(dialog, "closeBtn");
        QVERIFY(cancel && close);
        QVERIFY(!cancel->isVisible());
        QTest::mousePress(close, Qt::LeftButton);
        QCOMPARE(code, 0);
    }

    void okActsOnPressEvenWhenReleasedElsewhere()
    {
        CancelOkWarningDlg dialog;
        int calls = 0;
        int code = -1;
        dialog.setDoneCallback(
            [&](QObject*, int result) {
                ++calls;
                code = result;
            },
            &dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        auto* ok = child<QPushButton>(dialog, "okBtn");
        QVERIFY(ok);
        QTest::mousePress(ok, Qt::LeftButton);
        QTest::mouseRelease(ok, Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
        QCOMPARE(calls, 1);
        QCOMPARE(code, 2621);
    }

    // Class-entry error dialog

    void errorCodes_data()
    {
        QTest::addColumn<uint>("type");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("detail");
        QTest::addColumn<int>("forCase"); // -1: no parameter block
        QTest::addColumn<int>("code");

        QTest::newRow("channel init: none") << 1u << -1 << 0 << 0 << 0;
        QTest::newRow("widget set-up: none") << 128u << -1 << 0 << 0 << 0;
        QTest::newRow("message wiring: none") << 1024u << -1 << 0 << 0 << 0;
        QTest::newRow("no step: none") << 0u << -1 << 0 << -1 << 0;
        QTest::newRow("camera entry") << 2u << -1 << 0 << 0 << -1001;
        QTest::newRow("camera unplugged") << 2u << -1 << 0 << 1 << -1004;
        QTest::newRow("camera reset run") << 2u << -1 << 0 << 2 << -1001;
        QTest::newRow("camera without block") << 2u << -1 << 0 << -1 << -1001;
        QTest::newRow("microphone entry") << 4u << -1 << 0 << 0 << -1002;
        QTest::newRow("microphone unplugged") << 4u << -1 << 0 << 1 << -1005;
        QTest::newRow("speaker entry") << 8u << -1 << 0 << 0 << -1003;
        QTest::newRow("speaker unplugged") << 8u << -1 << 0 << 1 << -1006;
        QTest::newRow("class info") << 16u << -1 << 0 << 0 << -2001;
        QTest::newRow("class info detail -3") << 16u << -1 << -3 << 0 << -2004;
        QTest::newRow("enter class") << 32u << -1 << 5 << 0 << -2002;
        QTest::newRow("enter class detail -3") << 32u << -1 << -3 << 0 << -2004;
        QTest::newRow("join channel") << 64u << -2 << 0 << 0 << -9001;
        QTest::newRow("whiteboard failed") << 256u << -1 << -3 << 0 << -4001;
        QTest::newRow("whiteboard timed out") << 256u << -2 << 0 << 0 << -4002;
        QTest::newRow("websocket") << 512u << -1 << 2 << 0 << -3001;
        QTest::newRow("websocket detail -3") << 512u << -1 << -3 << 0 << -3002;
        QTest::newRow("detail 19 on join") << 64u << -1 << 19 << 0 << -2005;
        QTest::newRow("detail 19 on widgets") << 128u << -1 << 19 << 0 << -2005;
        QTest::newRow("detail 19 on unplugged camera") << 2u << -1 << 19 << 1 << -2005;
        QTest::newRow("detail 19 on timed-out whiteboard") << 256u << -2 << 19 << 0 << -2005;
    }

    void errorCodes()
    {
        QFETCH(uint, type);
        QFETCH(int, result);
        QFETCH(int, detail);
        QFETCH(int, forCase);
        QFETCH(int, code);
        ParamsScope params(forCase);
        QCOMPARE(ErrorDlg::isDeviceUnpluggedRun(), forCase == 1);
        QCOMPARE(ErrorDlg::errorCodeFor(type, result, detail), code);

        ErrorDlg dialog;
        dialog.setErrorCode(type, result, detail);
        const QString expected = code == 0 ? QStringLiteral("or contact your CR")
                                           : QStringLiteral("or contact your CR [Code: %1]").arg(code);
        QCOMPARE(labelText(dialog, "label_L3"), expected);
    }

    void errorCodeAppendsToTheCurrentSecondLine()
    {
        ErrorDlg dialog;
        dialog.setMessage("The teacher has ended the lesson", "Thank you", "See you next time");
        dialog.setErrorCode(32, -1, -3);
        dialog.setErrorCode(32, -1, -3);
        QCOMPARE(labelText(dialog, "label_L1"), QStringLiteral("The teacher has ended the lesson"));
        QCOMPARE(labelText(dialog, "label_L2"), QStringLiteral("Thank you"));
        QCOMPARE(labelText(dialog, "label_L3"), QStringLiteral("See you next time [Code: -2004] [Code: -2004]"));
    }

    void errorFormAndHiddenIcon()
    {
        ErrorDlg dialog;
        auto* iknow = child<QPushButton>(dialog, "iknowBtn");
        auto* pic = child<QLabel>(dialog, "Pic");
        auto* line1 = child<QLabel>(dialog, "label_L1");
        auto* line2 = child<QLabel>(dialog, "label_L2");
        auto* line3 = child<QLabel>(dialog, "label_L3");
        QVERIFY(iknow && pic && line1 && line2 && line3);
        QCOMPARE(line1->text(), QStringLiteral("Something is worng:"));
        QCOMPARE(line2->text(), QStringLiteral("Please renter the class"));
        QCOMPARE(iknow->text(), QStringLiteral("I know"));
        QCOMPARE(dialog.maximumSize(), QSize(451, 200));
        dialog.setButtonText("OK");
        dialog.hideFirstWidget();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        QCOMPARE(iknow->text(), QStringLiteral("OK"));
        QVERIFY(!pic->isVisible());
        QCOMPARE(line1->geometry(), QRect(80, 40, 361, 21));
        QCOMPARE(line2->geometry(), QRect(94, 67, 331, 18));
        QCOMPARE(line3->geometry(), QRect(94, 85, 351, 18));
        QCOMPARE(iknow->geometry(), QRect(311, 128, 100, 32));
    }

    // Retry dialog

    void retryTexts()
    {
        TryWarningDlg dialog;
        auto* retry = child<QPushButton>(dialog, "tryBtn");
        auto* close = child<QPushButton>(dialog, "closeBtn");
        QVERIFY(retry && close);
        QCOMPARE(labelText(dialog, "title"), QStringLiteral("Connect camera failed"));
        QCOMPARE(labelText(dialog, "content"), QStringLiteral("Please check your camera, and try again."));
        QCOMPARE(retry->text(), QStringLiteral("Retry"));
        QCOMPARE(close->text(), QStringLiteral("Close"));
        dialog.setTitle("Enter class failed");
        dialog.setContent("Please check your network, and try again.");
        QCOMPARE(labelText(dialog, "title"), QStringLiteral("Enter class failed"));
        QCOMPARE(labelText(dialog, "content"), QStringLiteral("Please check your network, and try again."));
        QCOMPARE(retry->geometry(), QRect(308, 156, 65, 32));
        QCOMPARE(close->geometry(), QRect(238, 156, 65, 32));
    }

    // Network tips dialog

    void networkTipsTextsAndWidth()
    {
        NetworkTipsDlg dialog;
        QCOMPARE(dialog.windowFlags(), Qt::Tool | Qt::FramelessWindowHint);
        QVERIFY(dialog.isModal());
        QCOMPARE(labelText(dialog, "title"), QStringLiteral("Tips:"));
        QVERIFY(labelText(dialog, "label_1").contains("the red one represents poor network quality;"));
        QVERIFY(!labelText(dialog, "label_1").contains("red one represents ideal"));
        QVERIFY(labelText(dialog, "label_2").startsWith("2. Fixed network connection"));
        QVERIFY(labelText(dialog, "label_3").startsWith("3. Please turn off"));
        auto* iknow = child<QPushButton>(dialog, "iknowBtn");
        QVERIFY(iknow);
        QCOMPARE(iknow->text(), QStringLiteral("I know"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        QCOMPARE(dialog.width(), 451);
        QVERIFY(dialog.height() >= 231);
        QCOMPARE(iknow->size(), QSize(100, 32));
    }

    void longerTipsMakeTheWindowTallerNotWider()
    {
        NetworkTipsDlg plain;
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain, ZmTest::kWaitMs));

        LongTipsTranslator translator;
        QCoreApplication::installTranslator(&translator);
        NetworkTipsDlg translated;
        QCoreApplication::removeTranslator(&translator);
        translated.show();
        QVERIFY(QTest::qWaitForWindowExposed(&translated, ZmTest::kWaitMs));

        QVERIFY(labelText(translated, "label_1").size() > 3 * labelText(plain, "label_1").size());
        QCOMPARE(translated.width(), 451);
        QVERIFY2(translated.height() > plain.height(),
                 qPrintable(QString("%1 <= %2").arg(translated.height()).arg(plain.height())));
        // Every tip is shown whole: the labels get the height their wrapped text needs.
        for (const char* name : {"label_1", "label_2", "label_3"}) {
            QLabel* tip = child<QLabel>(translated, name);
            QVERIFY2(tip, name);
            QVERIFY(tip->height() >= tip->heightForWidth(tip->width()));
        }
    }

    // Download progress dialog

    void downloadFormIsFixed()
    {
        DownloadLessonDlg dialog;
        QCOMPARE(dialog.windowFlags(), Qt::Dialog | Qt::FramelessWindowHint);
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ZmQuillo - Updater"));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.size(), dialog.minimumSize());
        QCOMPARE(labelText(dialog, "downloadLabel"), QStringLiteral("File loading"));
        QCOMPARE(labelText(dialog, "timeLabel"), QString());
        auto* bar = child<QProgressBar>(dialog, "progressBar");
        auto* label = child<QLabel>(dialog, "downloadLabel");
        QVERIFY(bar && label);
        QVERIFY(bar->minimumWidth() >= 320);
        QCOMPARE(bar->value(), 0);
        QVERIFY(!bar->invertedAppearance());
        QVERIFY(label->font().bold());

        const QSize before = dialog.size();
        dialog.show();
        dialog.updateProgress(0, 1000);
        QCOMPARE(dialog.size(), before);
    }

    void downloadProgress_data()
    {
        QTest::addColumn<QList<qlonglong>>("reports"); // received, total, received, total, ...
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("unknownSize"); // labels switched to the no-size texts

        QTest::newRow("start") << QList<qlonglong>{0, 1000} << 0 << 100 << 0 << false;
        QTest::newRow("half") << QList<qlonglong>{512, 1024} << 0 << 100 << 50 << false;
        QTest::newRow("truncated") << QList<qlonglong>{999, 1000} << 0 << 100 << 99 << false;
        QTest::newRow("beyond 4 GiB") << QList<qlonglong>{3'000'000'000LL, 6'000'000'000LL} << 0 << 100 << 50 << false;
        QTest::newRow("no size") << QList<qlonglong>{10, 0} << 0 << 0 << -1 << true;
        QTest::newRow("negative size") << QList<qlonglong>{10, -1} << 0 << 0 << -1 << true;
        QTest::newRow("more than the total is ignored")
            << QList<qlonglong>{512, 1024, 2000, 1000} << 0 << 100 << 50 << false;
        QTest::newRow("size known again keeps the labels")
            << QList<qlonglong>{10, 0, 300, 1000} << 0 << 100 << 30 << true;
    }

    void downloadProgress()
    {
        QFETCH(QList<qlonglong>, reports);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(bool, unknownSize);

        DownloadLessonDlg dialog;
        for (int i = 0; i + 1 < reports.size(); i += 2)
            dialog.updateProgress(reports.at(i), reports.at(i + 1));

        auto* bar = child<QProgressBar>(dialog, "progressBar");
        QVERIFY(bar);
        QCOMPARE(bar->minimum(), minimum);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->value(), value);
        if (unknownSize) {
            QCOMPARE(labelText(dialog, "downloadLabel"), QStringLiteral("Downloading Updates..."));
            QCOMPARE(labelText(dialog, "timeLabel"), QStringLiteral("Time Remaining: Unknown"));
        } else {
            QCOMPARE(labelText(dialog, "downloadLabel"), QStringLiteral("File loading"));
            QCOMPARE(labelText(dialog, "timeLabel"), QString());
        }
    }
};

ZM_TEST_MAIN(TestCommonDialogs)
#include "tst_commondialogs.moc"
