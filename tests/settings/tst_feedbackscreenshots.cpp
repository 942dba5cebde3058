#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/FitstTipsDlg.h"

#include "app/AppGlobalData.h"

#include "FeedbackSimulator.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QCheckBox>
#include <QDir>
#include <QTextEdit>

// Renders the feedback dialogs to PNGs under <build>/screenshots/ so that a person can look at them.
class TestFeedbackScreenshots : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

    static void save(QWidget& widget, const QString& name)
    {
        widget.show();
        ZmTest::saveScreenshot(widget, name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(ZmTest::screenshotDir()));
        QVERIFY(FeedbackSimulator::start(m_sim)); // the simulator's own issue list
        AppGlobalData::instance()->launch.accountType = 1;
    }

    void feedbackForm()
    {
        FeedbackOnlineDlg empty;
        QCOMPARE(empty.feedbackItems().size(), 4);
        save(empty, "FeedbackOnlineDlg");

        FeedbackOnlineDlg filled;
        filled.feedbackItems().at(1)->setChecked(true);
        auto* text = filled.findChild<QTextEdit*>("other_textEdit");
        QVERIFY(text);
        text->setPlainText(QString(205, 'x'));
        save(filled, "FeedbackOnlineDlg_filled");
        QVERIFY(filled.width() >= 492);
    }

    void feedbackReceived()
    {
        FeedbackReceivedDlg dialog;
        save(dialog, "FeedbackReceivedDlg");
    }

    void firstTips()
    {
        FitstTipsDlg tip;
        save(tip, "FitstTipsDlg");
        QCOMPARE(tip.size(), QSize(258, 81));
    }
};

ZM_TEST_MAIN(TestFeedbackScreenshots)
#include "tst_feedbackscreenshots.moc"
