#include "settings/CheckSystemDlg.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/FeedbackOnlineDlg.h"
#include "settings/FeedbackReceivedDlg.h"
#include "settings/FeedbackSubmission.h"
#include "settings/FitstTipsDlg.h"
#include "settings/TitleBarDialogs_Imp.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "ui/common/MyTitleBar.h"
#include "ui/common/ZmBaseDialog.h"

#include "FeedbackSimulator.h"
#include "ZmTestMain.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTextEdit>

namespace {

const char* const kKey = "AppInfo/I_KnowFeedback";

template <typename T> T* child(QWidget& parent, const char* name)
{
    return parent.findChild<T*>(QLatin1String(name));
}

QString settingInFile()
{
    QSettings file(ConfigManager::instance()->getIniPath(), QSettings::IniFormat);
    file.setIniCodec("UTF-8");
    return file.value(QLatin1String(kKey)).toString();
}

// A room window as the rooms build it: shown, then filling the desktop.
struct Room
{
    ZmBaseDialog window;

    Room()
    {
        window.setBackgroundColor(QColor(36, 49, 56));
        window.show();
        window.titleBar()->setMaximizedState();
    }
    MyTitleBar* bar() const { return window.titleBar(); }
};

template <typename T> QList<T*> visibleDialogs()
{
    QList<T*> found;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible())
            found.append(dialog);
    }
    return found;
}

const QJsonObject kIssues{{"TagCode", "0"}, {"en", "Video is stuck;I cannot hear the teacher;课件 & 白板"}};

} // namespace

class TestTitleBarFeedback : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;

    // Opens the form through the title bar's feedback button.
    FeedbackOnlineDlg* openForm(Room& room)
    {
        auto* button = child<QPushButton>(room.window, "ButtonFeedback");
        if (!button)
            return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        FeedbackOnlineDlg* form = room.window.findChild<FeedbackOnlineDlg*>();
        if (form && !QTest::qWaitForWindowExposed(form, ZmTest::kWaitMs))
            return nullptr;
        return form;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FeedbackSimulator::start(m_sim));
        QVERIFY(ConfigManager::instance()->hasSettings());
        TitleBarDialogs_Imp::installForProcess();
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.accountType = 1;
        data->launch.userId = QStringLiteral("20117");
        data->launch.token = QStringLiteral("tok-feedback");
        data->lesson.periodId = QStringLiteral("88231");
    }

    void init()
    {
        // A pupil, also after a test that was another account and failed before its end.
        AppGlobalData::instance()->launch.accountType = 1;
        ConfigManager::instance()->ini_SetParam_Int(kKey, 1);
        QVERIFY(m_sim.clearRoutes());
        QVERIFY(FeedbackSimulator::programIssues(m_sim, kIssues));
        QVERIFY(m_sim.clearRequests());
    }

    void hintShownOnceAndNeverAgainAfterGetIt()
    {
        ConfigManager::instance()->ini_RemoveParam(kKey);
        {
            Room room;
            QTRY_VERIFY(room.bar()->feedbackTip() && room.bar()->feedbackTip()->isVisible());
            auto* tip = qobject_cast<FitstTipsDlg*>(room.bar()->feedbackTip());
            QVERIFY(tip);
            QCOMPARE(tip->parentWidget(), &room.window);
            QVERIFY(!tip->isModal());
            QCOMPARE(tip->size(), QSize(258, 81));
            auto* button = child<QPushButton>(room.window, "ButtonFeedback");
            auto* ok = child<QPushButton>(*tip, "btn_ok");
            QVERIFY(button && ok);
            QCOMPARE(tip->pos() + QPoint(tip->width() / 2, 0),
                     button->mapToGlobal(QPoint(button->width() / 2, button->height())));

            // Pressing is enough: the setting is written before the button is released.
            QTest::mousePress(ok, Qt::LeftButton);
            QVERIFY(!tip->isVisible());
            QCOMPARE(tip->result(), 1);
            int known = 0;
            QVERIFY(ConfigManager::instance()->ini_GetParam_Int(kKey, known));
            QCOMPARE(known, 1);
            QCOMPARE(settingInFile(), QString("1"));
            QTest::mouseRelease(ok, Qt::LeftButton);
        }
        Room later;
        QTRY_VERIFY(!later.bar()->feedbackTipCheck());
        QVERIFY(!later.bar()->feedbackTip());
        QVERIFY(visibleDialogs<FitstTipsDlg>().isEmpty());
    }

    void hintDismissedWithEscapeComesBack()
    {
        ConfigManager::instance()->ini_RemoveParam(kKey);
        {
            Room room;
            QTRY_VERIFY(room.bar()->feedbackTip() && room.bar()->feedbackTip()->isVisible());
            QDialog* tip = room.bar()->feedbackTip();
            QTest::keyClick(tip, Qt::Key_Escape);
            QVERIFY(!tip->isVisible());
            int known = 0;
            QVERIFY(!ConfigManager::instance()->ini_GetParam_Int(kKey, known));
        }
        Room next;
        QTRY_VERIFY(next.bar()->feedbackTip() && next.bar()->feedbackTip()->isVisible());
    }

    void submitThroughTheTitleBar()
    {
        Room room;
        const QDir logDir(ConfigManager::instance()->getLogDir());
        const QStringList filesBefore = logDir.entryList({"*.txt"}, QDir::Files);
        QPointer<FeedbackOnlineDlg> form = openForm(room);
        QVERIFY(form);
        QCOMPARE(form->parentWidget(), &room.window);

        // Opening the form wrote this moment's log-information document beside the run log.
        QStringList written = logDir.entryList({"*.txt"}, QDir::Files);
        for (const QString& name : filesBefore)
            written.removeAll(name);
        QCOMPARE(written.size(), 1);
        QFile document(logDir.filePath(written.first()));
        QVERIFY(document.open(QIODevice::ReadOnly));
        QVERIFY(QJsonDocument::fromJson(document.readAll()).isObject());
        QCOMPARE(form->feedbackItems().size(), 3);
        form->feedbackItems().at(0)->setChecked(true);
        form->feedbackItems().at(2)->setChecked(true);
        auto* text = child<QTextEdit>(*form, "other_textEdit");
        auto* ok = child<QPushButton>(*form, "okBtn");
        QVERIFY(text && ok);
        text->setPlainText(QString::fromUtf8("耳机 has echo; 100%"));

        QTest::mouseClick(ok, Qt::LeftButton);

        const auto sent = FeedbackSimulator::submissions(m_sim);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "common"),
                 QString("Video%20is%20stuck;%E8%AF%BE%E4%BB%B6%20%26%20%E7%99%BD%E6%9D%BF;"));
        QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "other"),
                 QString("%E8%80%B3%E6%9C%BA%20has%20echo%3B%20100%25"));
        QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "periodId"), QString("88231"));
        QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "userId"), QString("20117"));

        const QList<FeedbackReceivedDlg*> received = visibleDialogs<FeedbackReceivedDlg>();
        QCOMPARE(received.size(), 1);
        QPointer<FeedbackReceivedDlg> acknowledgement = received.first();
        QCOMPARE(acknowledgement->parentWidget(), &room.window);
        QVERIFY(acknowledgement->isModal());
        QTRY_VERIFY(form.isNull());

        auto* acknowledged = child<QPushButton>(*acknowledgement, "okBtn");
        QVERIFY(acknowledged);
        QTest::mouseClick(acknowledged, Qt::LeftButton);
        QTRY_VERIFY(acknowledgement.isNull());
    }

    void endings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("submissions");
        QTest::addColumn<QString>("common");
        QTest::addColumn<QString>("other");
        QTest::newRow("nothing chosen") << "submit-empty" << 1 << ""
                                        << "";
        QTest::newRow("Others unchecked by hand") << "submit-others-unchecked" << 1 << ""
                                                  << "";
        QTest::newRow("Cancel") << "cancel" << 0 << ""
                                << "";
        QTest::newRow("close button") << "close" << 0 << ""
                                      << "";
        QTest::newRow("Escape") << "escape" << 0 << ""
                                << "";
    }

    void endings()
    {
        QFETCH(QString, how);
        QFETCH(int, submissions);
        QFETCH(QString, common);
        QFETCH(QString, other);
        Room room;
        QPointer<FeedbackOnlineDlg> form = openForm(room);
        QVERIFY(form);
        auto* text = child<QTextEdit>(*form, "other_textEdit");
        auto* others = child<QCheckBox>(*form, "other_checkBox");
        auto* ok = child<QPushButton>(*form, "okBtn");
        auto* cancel = child<QPushButton>(*form, "cancelBtn");
        auto* close = child<QPushButton>(*form, "closeBtn");
        QVERIFY(text && others && ok && cancel && close);
        if (how == "submit-empty") {
            form->done(1);
        } else if (how == "submit-others-unchecked") {
            text->setPlainText("typed");
            others->setChecked(false);
            QTest::mouseClick(ok, Qt::LeftButton);
        } else if (how == "cancel") {
            QTest::mouseClick(cancel, Qt::LeftButton);
        } else if (how == "close") {
            QTest::mouseClick(close, Qt::LeftButton);
        } else {
            QTest::keyClick(form, Qt::Key_Escape);
        }

        const auto sent = FeedbackSimulator::submissions(m_sim);
        QCOMPARE(sent.size(), submissions);
        if (submissions) {
            QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "common"), common);
            QCOMPARE(FeedbackSimulator::valueOf(sent.at(0), "other"), other);
        }
        const QList<FeedbackReceivedDlg*> received = visibleDialogs<FeedbackReceivedDlg>();
        QCOMPARE(received.size(), submissions);
        QTRY_VERIFY(form.isNull());
        for (FeedbackReceivedDlg* dialog : received)
            dialog->reject();
        QTRY_VERIFY(room.window.findChildren<FeedbackReceivedDlg*>().isEmpty());
    }

    // A submission the service does not take is told with the device check's failure notice, never acknowledged;
    // the notice's button brings the form back as the user left it, and the next try is sent alike.
    void failedSubmissionIsToldAndTheFormComesBack_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("status");         // of the first submission's answer
        QTest::addColumn<QByteArray>("reply");   // its body
        QTest::addColumn<QString>("noticePage"); // the notice's page shown
        QTest::newRow("refused, pupil") << 1 << 200 << QByteArray("{\"TagCode\":\"1001\"}") << "page";
        QTest::newRow("no answer, teacher") << 2 << 500 << QByteArray() << "page_2";
    }

    void failedSubmissionIsToldAndTheFormComesBack()
    {
        QFETCH(int, accountType);
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, noticePage);
        AppGlobalData::instance()->launch.accountType = accountType;
        QVERIFY(FeedbackSimulator::programSubmissionReply(m_sim, reply, status, 1));

        Room room;
        QPointer<FeedbackOnlineDlg> form = openForm(room);
        QVERIFY(form);
        form->feedbackItems().at(1)->setChecked(true);
        child<QTextEdit>(*form, "other_textEdit")->setPlainText(QStringLiteral("sound & picture"));
        QTest::mouseClick(child<QPushButton>(*form, "okBtn"), Qt::LeftButton);

        QTRY_COMPARE(visibleDialogs<ConfigeTipDlg>().size(), 1);
        ConfigeTipDlg* notice = visibleDialogs<ConfigeTipDlg>().first();
        QCOMPARE(notice->parentWidget(), &room.window);
        auto* pages = child<QStackedWidget>(*notice, "stackedWidget");
        QCOMPARE(pages->currentWidget()->objectName(), noticePage);
        QVERIFY(pages->currentWidget()->findChild<QLabel*>()->text().startsWith(
            "Network exception, submission feedback failed."));
        QVERIFY(visibleDialogs<FeedbackReceivedDlg>().isEmpty());
        QTRY_VERIFY(form.isNull());

        QTest::mouseClick(pages->currentWidget()->findChild<QPushButton*>(), Qt::LeftButton);
        QTRY_COMPARE(visibleDialogs<FeedbackOnlineDlg>().size(), 1);
        QPointer<FeedbackOnlineDlg> again = visibleDialogs<FeedbackOnlineDlg>().first();
        QCOMPARE(again->parentWidget(), &room.window);
        QVERIFY(visibleDialogs<ConfigeTipDlg>().isEmpty());
        QVERIFY(!again->feedbackItems().at(0)->isChecked());
        QVERIFY(again->feedbackItems().at(1)->isChecked());
        QCOMPARE(child<QTextEdit>(*again, "other_textEdit")->toPlainText(), QStringLiteral("sound & picture"));
        QVERIFY(child<QCheckBox>(*again, "other_checkBox")->isChecked());
        QVERIFY(child<QPushButton>(*again, "okBtn")->isEnabled());

        QTest::mouseClick(child<QPushButton>(*again, "okBtn"), Qt::LeftButton);
        const auto sent = FeedbackSimulator::submissions(m_sim);
        QCOMPARE(sent.size(), 2);
        for (const auto& submission : sent) {
            QCOMPARE(FeedbackSimulator::valueOf(submission, "common"), QString("I%20cannot%20hear%20the%20teacher;"));
            QCOMPARE(FeedbackSimulator::valueOf(submission, "other"), QString("sound%20%26%20picture"));
        }
        QTRY_COMPARE(visibleDialogs<FeedbackReceivedDlg>().size(), 1);
        visibleDialogs<FeedbackReceivedDlg>().first()->reject();
        QTRY_VERIFY(again.isNull());
        QTRY_VERIFY(room.window.findChildren<FeedbackReceivedDlg*>().isEmpty());
    }

    // The title bar's device slot opens the wizard over the bar's window; the wizard goes when it ends.
    void deviceSlotOpensTheWizard()
    {
        Room room;
        room.bar()->onButtonConfigerClicked();
        const QList<CheckSystemDlg*> wizards = room.window.findChildren<CheckSystemDlg*>();
        QCOMPARE(wizards.size(), 1);
        QPointer<CheckSystemDlg> wizard = wizards.at(0);
        QVERIFY(wizard->isVisible());
        QVERIFY(child<QPushButton>(*wizard, "closeBtn")->isVisibleTo(wizard));
        wizard->done(0);
        QTRY_VERIFY(wizard.isNull());
    }
};

ZM_TEST_MAIN(TestTitleBarFeedback)
#include "tst_titlebarfeedback.moc"
