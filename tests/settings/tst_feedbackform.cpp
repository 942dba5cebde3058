#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackOnlineItem.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/FeedbackSubmission.h"

#include "app/AppGlobalData.h"

#include "FeedbackSimulator.h"
#include "ZmTestMain.h"

#include <QCheckBox>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

namespace {

template <typename T> T* child(QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QLatin1String(name));
}

QStringList rowTexts(const FeedbackOnlineDlg& form)
{
    QStringList texts;
    for (QCheckBox* box : form.getCheckBoxList())
        texts << box->text();
    return texts;
}

// How often a done callback ran and with what.
struct Outcome
{
    int calls = 0;
    int result = -1;
};

void watch(ModalDialog& dialog, Outcome& outcome)
{
    dialog.setDoneCallback(
        [&outcome](QObject*, int result) {
            ++outcome.calls;
            outcome.result = result;
        },
        &dialog);
}

const QJsonObject kThreeIssues{
    {"TagCode", "0"}, {"en", "Video is stuck;No sound;Courseware is blank"}, {"cn", "视频卡顿;没有声音;课件空白"}};

} // namespace

class TestFeedbackForm : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

    void useIssues(const QJsonObject& reply, int status = 200)
    {
        QVERIFY(m_sim.clearRoutes());
        QVERIFY(FeedbackSimulator::programIssues(m_sim, reply, status));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FeedbackSimulator::start(m_sim));
        AppGlobalData::instance()->launch.accountType = 1;
    }

    void cleanup() { AppGlobalData::instance()->launch.language = QStringLiteral("en"); }

    void rowsFromTheService_data()
    {
        QTest::addColumn<QJsonObject>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("three issues") << kThreeIssues << 200 << "en"
                                      << QStringList{"Video is stuck", "No sound", "Courseware is blank"};
        QTest::newRow("Chinese") << kThreeIssues << 200 << "cn" << QStringList{"视频卡顿", "没有声音", "课件空白"};
        QTest::newRow("trailing separators keep an empty row")
            << QJsonObject{{"TagCode", "0"}, {"en", "A;B;"}} << 200 << "en" << QStringList{"A", "B", ""};
        QTest::newRow("empty text") << QJsonObject{{"TagCode", "0"}, {"en", ""}} << 200 << "en" << QStringList{};
        QTest::newRow("refused") << QJsonObject{{"TagCode", "1001"}, {"en", "A;B"}} << 200 << "en" << QStringList{};
        QTest::newRow("request failed") << kThreeIssues << 500 << "en" << QStringList{};
    }

    void rowsFromTheService()
    {
        QFETCH(QJsonObject, reply);
        QFETCH(int, status);
        QFETCH(QString, language);
        QFETCH(QStringList, rows);
        useIssues(reply, status);
        AppGlobalData::instance()->launch.language = language;

        FeedbackOnlineDlg form;
        QCOMPARE(rowTexts(form), rows);
        QCOMPARE(form.feedbackItems(), form.getCheckBoxList());
        auto* list = child<QListWidget>(form, "common_listWidget");
        auto* ok = child<QPushButton>(form, "okBtn");
        auto* exceeded = child<QLabel>(form, "other_exceeded");
        auto* text = child<QTextEdit>(form, "other_textEdit");
        QVERIFY(list && ok && exceeded && text);
        QCOMPARE(list->count(), rows.size());
        QCOMPARE(list->minimumHeight(), 28 * rows.size());
        for (int i = 0; i < list->count(); ++i) {
            QCOMPARE(list->item(i)->sizeHint(), QSize(0, 28));
            auto* row = qobject_cast<FeedbackOnlineItem*>(list->itemWidget(list->item(i)));
            QVERIFY(row);
            QCOMPARE(row->getCheckBox(), form.getCheckBoxList().at(i));
        }
        QVERIFY(!ok->isEnabled());
        QVERIFY(exceeded->isHidden());
        QVERIFY(form.isModal());
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form.windowFlags() & Qt::WindowType_Mask, Qt::Tool);

        // "Others" works without rows too.
        text->setPlainText("x");
        QVERIFY(ok->isEnabled());
    }

    void submitFollowsRowsAndText()
    {
        useIssues(kThreeIssues);
        FeedbackOnlineDlg form;
        auto* ok = child<QPushButton>(form, "okBtn");
        auto* others = child<QCheckBox>(form, "other_checkBox");
        auto* text = child<QTextEdit>(form, "other_textEdit");
        QVERIFY(ok && others && text);
        const QList<QCheckBox*> rows = form.getCheckBoxList();
        QCOMPARE(rows.size(), 3);

        rows[1]->setChecked(true);
        QVERIFY(ok->isEnabled());
        rows[1]->setChecked(false);
        QVERIFY(!ok->isEnabled());

        text->setPlainText("a");
        QVERIFY(others->isChecked());
        QVERIFY(ok->isEnabled());
        text->clear();
        QVERIFY(others->isChecked());
        QVERIFY(!ok->isEnabled());

        // Unchecking "Others" by hand leaves Submit as it was and hides the text from the getter.
        text->setPlainText("typed");
        others->setChecked(false);
        QVERIFY(ok->isEnabled());
        QString other = "kept";
        QVERIFY(!form.getOtherText(other));
        QCOMPARE(other, QString("kept"));

        // A checked row wins whatever the text box holds.
        rows[2]->setChecked(true);
        text->clear();
        QVERIFY(ok->isEnabled());
    }

    void checkedItemText()
    {
        useIssues(kThreeIssues);
        FeedbackOnlineDlg form;
        form.getCheckBoxList().at(0)->setChecked(true);
        form.getCheckBoxList().at(2)->setChecked(true);
        QString text = "unchanged";
        QVERIFY(form.getCheckedItemText(0, text));
        QCOMPARE(text, QString("Video is stuck"));
        text = "unchanged";
        QVERIFY(!form.getCheckedItemText(1, text));
        QVERIFY(!form.getCheckedItemText(3, text));
        QVERIFY(!form.getCheckedItemText(-1, text));
        QCOMPARE(text, QString("unchanged"));
        QVERIFY(form.getCheckedItemText(2, text));
        QCOMPARE(text, QString("Courseware is blank"));
    }

    void othersLimit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("handedOver");
        const QString two00 = QString(200, 'x');
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 code units
        QTest::newRow("199") << QString(199, 'x') << false << QString(199, 'x');
        QTest::newRow("200") << two00 << false << two00;
        QTest::newRow("201") << two00 + "y" << true << two00;
        QTest::newRow("500") << QString(500, 'z') << true << QString(200, 'z');
        QTest::newRow("pair ending at the limit") << QString(198, 'x') + emoji << false << QString(198, 'x') + emoji;
        QTest::newRow("pair split by the cut") << QString(199, 'x') + emoji << true << QString(199, 'x');
        QTest::newRow("Chinese") << QString::fromUtf8("老师听不到我") << false << QString::fromUtf8("老师听不到我");
    }

    void othersLimit()
    {
        QFETCH(QString, typed);
        QFETCH(bool, warning);
        QFETCH(QString, handedOver);
        useIssues(kThreeIssues);
        FeedbackOnlineDlg form;
        auto* text = child<QTextEdit>(form, "other_textEdit");
        auto* exceeded = child<QLabel>(form, "other_exceeded");
        QVERIFY(text && exceeded);
        text->setPlainText(typed);
        QCOMPARE(!exceeded->isHidden(), warning);
        QCOMPARE(exceeded->text(), QString("Limit exceeded, up to 200 characters"));
        QString other;
        QVERIFY(form.getOtherText(other));
        QCOMPARE(other, handedOver);
        // Whatever was cut, the text still encodes to valid UTF-8.
        QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(FeedbackSubmission::encodeText(other).toLatin1())),
                 handedOver);
    }

    void formResults_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Submit") << "okBtn" << 1;
        QTest::newRow("Cancel") << "cancelBtn" << 0;
        QTest::newRow("close button") << "closeBtn" << 0;
        QTest::newRow("Escape") << "escape" << 0;
    }

    void formResults()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        useIssues(kThreeIssues);
        FeedbackOnlineDlg form;
        Outcome outcome;
        watch(form, outcome);
        form.getCheckBoxList().at(0)->setChecked(true);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form, ZmTest::kWaitMs));
        if (how == "escape") {
            QTest::keyClick(&form, Qt::Key_Escape);
        } else {
            auto* button = child<QPushButton>(form, how.toLatin1().constData());
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(outcome.calls, 1);
        QCOMPARE(outcome.result, result);
        QVERIFY(!form.isVisible());
    }

    void encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("unreserved") << "AZaz09-._~"
                                    << "AZaz09-._~";
        QTest::newRow("space") << "No sound"
                               << "No%20sound";
        QTest::newRow("separators") << "a;b&c=d+e/f?"
                                    << "a%3Bb%26c%3Dd%2Be%2Ff%3F";
        QTest::newRow("percent") << "100%"
                                 << "100%25";
        QTest::newRow("Chinese") << QString::fromUtf8("卡顿") << "%E5%8D%A1%E9%A1%BF";
        QTest::newRow("new line and quote") << "a\n\"b\""
                                            << "a%0A%22b%22";
        QTest::newRow("empty") << ""
                               << "";
    }

    void encoding()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(FeedbackSubmission::encodeText(text), encoded);
    }

    void collectedTexts()
    {
        useIssues(QJsonObject{{"TagCode", "0"}, {"en", "No sound;Video; stuck;a&b"}});
        FeedbackOnlineDlg form;
        QString common = "old";
        QString other = "old";
        FeedbackSubmission::collectTexts(form, common, other);
        QCOMPARE(common, QString());
        QCOMPARE(other, QString());

        const QList<QCheckBox*> rows = form.getCheckBoxList();
        QCOMPARE(rows.size(), 4);
        rows[0]->setChecked(true);
        rows[2]->setChecked(true);
        rows[3]->setChecked(true);
        auto* text = child<QTextEdit>(form, "other_textEdit");
        QVERIFY(text);
        text->setPlainText(QString::fromUtf8("耳机 100%"));
        FeedbackSubmission::collectTexts(form, common, other);
        QCOMPARE(common, QString("No%20sound;%20stuck;a%26b;"));
        QCOMPARE(other, QString("%E8%80%B3%E6%9C%BA%20100%25"));
    }

    void receivedDialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("Get it") << "okBtn" << 1;
        QTest::newRow("close button") << "closeBtn" << 0;
        QTest::newRow("Escape") << "escape" << 0;
    }

    void receivedDialog()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        FeedbackReceivedDlg dialog;
        QVERIFY(dialog.isModal());
        QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        auto* ok = child<QPushButton>(dialog, "okBtn");
        auto* title = child<QLabel>(dialog, "lbl_dialog_title");
        auto* line32 = child<QLabel>(dialog, "g3_l3_2");
        auto* line21 = child<QLabel>(dialog, "g2_l1_21");
        auto* line11 = child<QLabel>(dialog, "g1_l1_1");
        QVERIFY(ok && title && line32 && line21 && line11);
        QCOMPARE(ok->text(), QString("Get it"));
        QCOMPARE(title->text(), QString("Tips"));
        QCOMPARE(line32->text(),
                 QString("2 Turn off network television or download application like Thunder in class ."));
        QCOMPARE(line21->text(), QString("Please wear a headset."));
        QCOMPARE(line11->styleSheet(), QString("color: #FF6129;"));
        Outcome outcome;
        watch(dialog, outcome);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog, ZmTest::kWaitMs));
        if (how == "escape") {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            auto* button = child<QPushButton>(dialog, how.toLatin1().constData());
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(outcome.calls, 1);
        QCOMPARE(outcome.result, result);
        QVERIFY(!dialog.isVisible());
    }
};

ZM_TEST_MAIN(TestFeedbackForm)
#include "tst_feedbackform.moc"
