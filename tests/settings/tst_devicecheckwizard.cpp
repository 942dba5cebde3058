// The device-check wizard driven page by page against the simulated engine, the simulator and a fake ping: its
// pages, lists, close question, verdicts, report and feedback; its tip dialog; its opener.
#include "settings/CheckSystemDlg.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/DeviceCheckOpener.h"
#include "settings/ToastDialog_2.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "live/rtc/CAgoraObject.h"

#include "DeviceCheckRig.h"
#include "RtcTestSupport.h"
#include "ZmTestMain.h"

#include <QComboBox>
#include <QJsonArray>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStringListModel>
#include <QTextEdit>

namespace {

QString currentPageName(const DeviceCheckRig& rig, const char* stack)
{
    auto* widget = rig.child<QStackedWidget>(stack);
    return widget && widget->currentWidget() ? widget->currentWidget()->objectName() : QString();
}

template <typename T> QList<T*> visible(QWidget& parent)
{
    QList<T*> found;
    for (T* widget : parent.findChildren<T*>()) {
        if (widget->isVisible())
            found << widget;
    }
    return found;
}

// The report lines the simulator received, oldest report first.
QList<QStringList> reports(ZmTest::Simulator& simulator)
{
    QList<QStringList> found;
    const QJsonArray entries = simulator.numberedRequests(QStringLiteral("10000204"));
    for (const QJsonValue& entry : entries) {
        QString message = ZmTest::Simulator::paramOf(entry.toObject(), QStringLiteral("abnormalMessage"));
        message.chop(1); // the separator after the last line
        found << message.split(QLatin1Char(';'));
    }
    return found;
}

vector_device_info devices(const QList<QPair<QString, QString>>& entries)
{
    vector_device_info list;
    for (const auto& entry : entries)
        list.push_back(device_info{int(list.size()), entry.first, entry.second});
    return list;
}

} // namespace

class TestDeviceCheckWizard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceCheckRig> m_rig;

    DeviceCheckRig& rig() { return *m_rig; }

private slots:
    void init()
    {
        m_rig = std::make_unique<DeviceCheckRig>();
        QVERIFY2(m_rig->start(), qPrintable(m_rig->simulator.errorString()));
    }

    void cleanup()
    {
        m_rig.reset();
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<ConfigeTipDlg*>(widget) || qobject_cast<ToastDialog_2*>(widget))
                delete widget;
        }
    }

    // The form: fixed size, the pages as they start, texts with their own spacing and characters.
    void formAsBuilt_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("two blanks") << "label_19"
                                    << "Devices testing  is to determine whether the computer \nand accessories work "
                                       "for the online classrooms.";
        QTest::newRow("trailing blanks") << "label_26"
                                         << "Camera  ";
        QTest::newRow("program") << "label_2"
                                 << "Program ";
        QTest::newRow("full-width colon") << "label_37"
                                          << "camera：";
        QTest::newRow("curly quotes") << "label_45"
                                      << "No microphone was detected, please click “re- connect device”.";
        QTest::newRow("play") << "label_9"
                              << "Please click “play” button, if there is sound, the speaker is functioning.";
        QTest::newRow("state") << "label_101"
                               << "abnormal";
    }

    void formAsBuilt()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        CheckSystemDlg* wizard = rig().open();
        QCOMPARE(wizard->minimumSize(), QSize(899, 618));
        QCOMPARE(wizard->maximumSize(), QSize(899, 618));
        QVERIFY(wizard->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(currentPageName(rig(), "stacked_root"), QStringLiteral("page_1"));
        QCOMPARE(rig().child<QLabel>(qPrintable(name))->text(), text);
        for (const char* note : {"label_101", "label_102", "label_103", "label_104"})
            QVERIFY(rig().label(note)->isHidden());
        auto* tips = rig().child<QTextEdit>("textEdit_4");
        QVERIFY(tips->isReadOnly());
        QVERIFY(tips->toPlainText().startsWith("If there is no sound, please try:\n1.  Check the headset"));
        QCOMPARE(tips->textCursor().position(), 0);
        QCOMPARE(rig().child<QSlider>("loudspeaker_volume")->maximum(), 99);
    }

    // Start, camera, microphone, speaker, program and network, result, Finish: each page tells the worker, the
    // choices are stored and the report is filed.
    void walkThroughAndFinish()
    {
        CheckSystemDlg* wizard = rig().open();
        QSignalSpy pages(wizard, &CheckSystemDlg::sig_page_current_changed);
        rig().click("page_1_btn_start");
        QCOMPARE(wizard->currentPage(), 22);
        QVERIFY(rig().waitForDevices());
        auto* cameras = rig().child<QComboBox>("comboBox_camera");
        QCOMPARE(cameras->currentText(), QStringLiteral("Simulated Camera"));
        QCOMPARE(cameras->model()->property("idList").toStringList(), QStringList{"sim-camera-0"});
        QTRY_VERIFY(wizard->findChild<QDialog*>("renderWindow")->isVisible());
        const QRect preview = wizard->findChild<QDialog*>("renderWindow")->geometry();
        QCOMPARE(preview.size(), QSize(233, 175));
        QCOMPARE(preview.topLeft(), rig().child<QStackedWidget>("stacked_preview")->mapToGlobal(QPoint(0, 0)));

        rig().click("page_2_2_btn_next");
        QVERIFY(rig().waitForDevices());
        QTRY_VERIFY(!wizard->findChild<QDialog*>("renderWindow")->isVisible());
        QTRY_VERIFY(rig().child<QProgressBar>("microphone_volume")->value() > 0);
        rig().click("page_2_3_btn_next");
        QVERIFY(rig().waitForDevices());
        QVERIFY(rig().button("page_2_4_btn_play_audio")->isEnabled());
        rig().click("page_2_4_btn_play_audio");
        QCOMPARE(rig().button("page_2_4_btn_play_audio")->text(), QStringLiteral("Stop play"));
        rig().click("page_2_4_btn_next");
        QCOMPARE(wizard->currentPage(), 21);
        QVERIFY(!rig().button("page_2_1_btn_next")->isEnabled());
        QVERIFY(rig().finishMeasuring());
        QCOMPARE(rig().label("label_4l_d1")->text(), QStringLiteral("Fluency"));
        QCOMPARE(rig().label("label_3l_d1")->text(), QStringLiteral("Great"));
        QCOMPARE(rig().label("label_5l_d1")->text(), QStringLiteral("Low"));
        QVERIFY(rig().label("test_list_lab_system_check")->styleSheet().contains("icon_normal.png"));
        rig().click("page_2_1_btn_next");
        QCOMPARE(currentPageName(rig(), "stacked_root"), QStringLiteral("page_8"));
        QCOMPARE(currentPageName(rig(), "stackedWidget_3"), QStringLiteral("page_9"));

        rig().click("btn_finish_check");
        QCOMPARE(rig().results, QList<int>{1});
        QTRY_VERIFY(rig().wizard.isNull());
        QList<int> shown;
        for (const QList<QVariant>& arguments : qAsConst(pages))
            shown << arguments.at(0).toInt();
        QCOMPARE(shown, (QList<int>{2, 22, 23, 24, 21, 25}));
        QCOMPARE(RtcTest::storedSetting("SelectedDeviceID/Camera").toString(), QStringLiteral("sim-camera-0"));
        QCOMPARE(RtcTest::storedSetting("SelectedDeviceID/AudioIN").toString(), QStringLiteral("sim-microphone-0"));
        QCOMPARE(RtcTest::storedSetting("SelectedDeviceID/AudioOUT").toString(), QStringLiteral("sim-speaker-0"));
        QCOMPARE(RtcTest::storedSetting("SelectedDeviceID/AudioOutVolume").toInt(), 128);
        QVERIFY(!CAgoraObject::instance());

        const QList<QStringList> filed = reports(rig().simulator);
        QCOMPARE(filed.size(), 1);
        const QStringList lines = filed.at(0);
        QCOMPARE(lines.mid(0, 3), (QStringList{"Camera = OK", "Micphone = OK", "Speaker = OK"}));
        QStringList pings = lines.mid(3, 4);
        pings.sort();
        QCOMPARE(pings, (QStringList{"127.0.0.1 = Fluency", "board.test = Fluency", "main.test = Fluency",
                                     "ws.test = Fluency"}));
        QVERIFY(lines.at(7).startsWith(UrlConfig::instance()->testDownload + " = "));
        QVERIFY(lines.at(7).endsWith("KB"));
        QCOMPARE(lines.at(8), QStringLiteral("CpuUsage = 25"));
    }

    // Closing asks first on every page but the result page; End leaves with 0, Continue stays (and restarts the
    // camera on its page).
    void closeOnEachPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("end");
        QTest::newRow("welcome, end") << 0 << true;
        QTest::newRow("camera, continue") << 22 << false;
        QTest::newRow("camera, end") << 22 << true;
        QTest::newRow("microphone, continue") << 23 << false;
        QTest::newRow("speaker, end") << 24 << true;
        QTest::newRow("program, continue") << 21 << false;
        QTest::newRow("result") << 25 << true;
    }

    void closeOnEachPage()
    {
        QFETCH(int, page);
        QFETCH(bool, end);
        CheckSystemDlg* wizard = rig().open();
        if (page)
            QVERIFY(rig().walkTo(page));
        QSignalSpy reboots(wizard, &CheckSystemDlg::sig_reboot_camera_devices);
        const char* closer = page == 0 ? "closeBtn" : page == 25 ? "closeBtn_3" : "closeBtn_2";
        rig().click(closer);
        const QList<ConfigeTipDlg*> tips = visible<ConfigeTipDlg>(rig().host);
        if (page == 25) {
            QCOMPARE(tips.size(), 0);
            QCOMPARE(rig().results, QList<int>{0});
            return;
        }
        QCOMPARE(tips.size(), 1);
        QPointer<ConfigeTipDlg> tip = tips.at(0);
        QCOMPARE(tip->parentWidget(), &rig().host);
        QCOMPARE(tip->findChild<QStackedWidget*>("stackedWidget")->currentWidget()->objectName(),
                 QStringLiteral("page_3"));
        QVERIFY(!wizard->findChild<QDialog*>("renderWindow")->isVisible());
        tip->findChild<QPushButton*>(end ? "endButton" : "continueButton")->click();
        QTRY_VERIFY(tip.isNull());
        if (end) {
            QCOMPARE(rig().results, QList<int>{0});
            QTRY_VERIFY(rig().wizard.isNull());
            return;
        }
        QVERIFY(rig().results.isEmpty());
        QVERIFY(wizard->isVisible());
        QCOMPARE(wizard->currentPage(), page);
        QCOMPARE(reboots.size(), page == 22 ? 1 : 0);
        if (page == 22)
            QTRY_VERIFY(wizard->findChild<QDialog*>("renderWindow")->isVisible());
    }

    // Without close buttons the wizard cannot be left early, not even with Escape; with them Escape asks.
    void closeButtonsAndEscape()
    {
        CheckSystemDlg* locked = rig().open(false);
        for (const char* name : {"closeBtn", "closeBtn_2", "closeBtn_3"})
            QVERIFY(rig().button(name)->isHidden());
        QTest::keyClick(locked, Qt::Key_Escape);
        QVERIFY(visible<ConfigeTipDlg>(rig().host).isEmpty());
        QVERIFY(locked->isVisible());
        delete locked;

        CheckSystemDlg* open = rig().open(true);
        QVERIFY(!rig().button("closeBtn")->isHidden());
        QTest::keyClick(open, Qt::Key_Escape);
        QCOMPARE(visible<ConfigeTipDlg>(rig().host).size(), 1);
        QVERIFY(rig().results.isEmpty());
    }

    // A failed check shows what failed, offers Submit Feedback and Retest; Retest files the report and starts over.
    void failedCheckAndRetest()
    {
        CheckSystemDlg* wizard = rig().open();
        QVERIFY(rig().walkTo(22));
        rig().click("page_2_2_btn_no_video");
        QVERIFY(rig().label("test_list_lab_camera_check")->styleSheet().contains("icon_non_normal.png"));
        QVERIFY(rig().waitForDevices());
        rig().click("page_2_3_btn_next");
        QVERIFY(rig().waitForDevices());
        rig().click("page_2_4_btn_voiceless");
        QVERIFY(rig().finishMeasuring());
        rig().click("page_2_1_btn_next");
        QCOMPARE(currentPageName(rig(), "stackedWidget_3"), QStringLiteral("page_10"));
        QVERIFY(rig().label("label_102")->isVisibleTo(wizard));
        QVERIFY(rig().label("label_104")->isVisibleTo(wizard));
        QVERIFY(rig().label("label_101")->isHidden());
        QVERIFY(rig().label("label_103")->isHidden());
        QVERIFY(rig().label("lab_camera_check_finish")->styleSheet().contains("icon_non_normal.png"));
        QVERIFY(rig().label("lab_micphone_check_finish")->styleSheet().contains("icon_normal.png"));
        QCOMPARE(rig().button("btn_again_check_device")->geometry(), QRect(467, 70, 204, 55));

        rig().click("btn_again_check_device");
        QCOMPARE(wizard->currentPage(), 22);
        QCOMPARE(currentPageName(rig(), "stacked_root"), QStringLiteral("page_2"));
        for (const char* icon : {"test_list_lab_system_check", "test_list_lab_camera_check",
                                 "test_list_lab_microphone_check", "test_list_lab_loudspeaker_check"})
            QVERIFY(rig().label(icon)->styleSheet().isEmpty());
        QCOMPARE(rig().label("label_4l_d1")->text(), QStringLiteral("Detecting..."));
        QVERIFY(!rig().button("page_2_1_btn_next")->isEnabled());
        const QList<QStringList> filed = reports(rig().simulator);
        QCOMPARE(filed.size(), 1);
        QCOMPARE(filed.at(0).mid(0, 3), (QStringList{"Camera = Failed", "Micphone = OK", "Speaker = Failed"}));
        QVERIFY(rig().results.isEmpty());
    }

    // Submit Feedback: nobody logged in files nothing; a filed report thanks and ends; a failed one tells whom to
    // contact, 200 ms later.
    void submitFeedback_data()
    {
        QTest::addColumn<QString>("userId");
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<QString>("tipPage");
        QTest::newRow("not logged in") << "" << 1 << 200 << "You're not logged in yet, you can't submit feedback."
                                       << "";
        QTest::newRow("filed") << "100234" << 1 << 200
                               << "Submit successfully, we will follow up your feedback in time."
                               << "";
        QTest::newRow("failed, student") << "100234" << 1 << 500 << ""
                                         << "page";
        QTest::newRow("failed, teacher") << "100234" << 2 << 500 << ""
                                         << "page_2";
    }

    void submitFeedback()
    {
        QFETCH(QString, userId);
        QFETCH(int, accountType);
        QFETCH(int, status);
        QFETCH(QString, toast);
        QFETCH(QString, tipPage);
        rig().open();
        QVERIFY(rig().walkTo(22));
        rig().click("page_2_2_btn_no_video");
        QVERIFY(rig().walkTo(25));
        AppGlobalData::instance()->launch.userId = userId;
        AppGlobalData::instance()->launch.accountType = accountType;
        if (status != 200) {
            ZmTest::Simulator::Route refuse;
            refuse.path = QStringLiteral("/quillo/entrance");
            refuse.params.insert(QStringLiteral("FuncTag"), QStringLiteral("10000204"));
            refuse.status = status;
            QVERIFY(rig().simulator.program(refuse) > 0);
        }
        rig().click("btn_submit_feekback");
        QCOMPARE(reports(rig().simulator).size(), userId.isEmpty() ? 0 : 1);
        if (!toast.isEmpty()) {
            QCOMPARE(rig().results, QList<int>{1});
            const QList<ToastDialog_2*> toasts = visible<ToastDialog_2>(rig().host);
            QCOMPARE(toasts.size(), 1);
            QCOMPARE(toasts.at(0)->findChild<QLabel*>("label_text")->text(), toast);
            const QPoint centre = toasts.at(0)->geometry().center();
            const QPoint hostCentre = rig().host.mapToGlobal(rig().host.rect().center());
            QVERIFY((centre - hostCentre).manhattanLength() <= 2);
            return;
        }
        QVERIFY(rig().results.isEmpty());
        QVERIFY(visible<ConfigeTipDlg>(rig().host).isEmpty());
        QTRY_COMPARE(visible<ConfigeTipDlg>(rig().host).size(), 1);
        ConfigeTipDlg* tip = visible<ConfigeTipDlg>(rig().host).at(0);
        QCOMPARE(tip->findChild<QStackedWidget*>("stackedWidget")->currentWidget()->objectName(), tipPage);
        tip->findChild<QPushButton*>(tipPage == "page" ? "okButton" : "okButton_2")->click();
        QCOMPARE(rig().results, QList<int>{0});
    }

    // What the program/network page shows and decides once everything is measured.
    void verdictsOnTheProgramPage_data()
    {
        QTest::addColumn<QString>("slowHost");
        QTest::addColumn<int>("slowMs");
        QTest::addColumn<bool>("downloadFails");
        QTest::addColumn<int>("cpu");
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("download");
        QTest::addColumn<QString>("processor");
        QTest::addColumn<bool>("passes");
        QTest::newRow("all good") << "" << 0 << false << 10 << "Fluency"
                                  << "Great"
                                  << "Low" << true;
        QTest::newRow("a busy host passes") << "board.test" << 200 << false << 45 << "Busy"
                                            << "Great"
                                            << "Medium" << true;
        QTest::newRow("a congested host fails") << "ws.test" << 300 << false << 10 << "Congestion"
                                                << "Great"
                                                << "Low" << false;
        QTest::newRow("a host without reply fails") << "main.test" << -1 << false << 10 << "Connection failed"
                                                    << "Great"
                                                    << "Low" << false;
        QTest::newRow("a failed download fails") << "" << 0 << true << 10 << "Fluency"
                                                 << "Connection failed"
                                                 << "Low" << false;
        QTest::newRow("a busy processor never fails") << "" << 0 << false << 95 << "Fluency"
                                                      << "Great"
                                                      << "High" << true;
    }

    void verdictsOnTheProgramPage()
    {
        QFETCH(QString, slowHost);
        QFETCH(int, slowMs);
        QFETCH(bool, downloadFails);
        QFETCH(int, cpu);
        QFETCH(QString, network);
        QFETCH(QString, download);
        QFETCH(QString, processor);
        QFETCH(bool, passes);
        if (slowMs > 0)
            rig().ping.reply(slowHost, slowMs);
        else if (slowMs < 0)
            rig().ping.answer(slowHost, "100% packet loss", 1);
        if (downloadFails)
            UrlConfig::instance()->testDownload = rig().simulator.url("/files/missing.png");
        // Samples of 0 do not count: the verdict waits for eight positive ones.
        int samples = 0;
        CheckSystemDlg::setCpuUsageSampler([&samples, cpu] { return ++samples <= 3 ? 0 : cpu; }, 3600 * 1000);
        CheckSystemDlg* wizard = rig().open();
        QVERIFY(rig().walkTo(21));
        for (int sample = 0; sample < 10; ++sample) {
            wizard->onTimerCpuUsage();
            QCOMPARE(rig().label("label_5l_d1")->text(), QStringLiteral("Detecting..."));
        }
        wizard->onTimerCpuUsage();
        QTRY_VERIFY(rig().button("page_2_1_btn_next")->isEnabled());
        QCOMPARE(rig().label("label_4l_d1")->text(), network);
        QCOMPARE(rig().label("label_3l_d1")->text(), download);
        QCOMPARE(rig().label("label_5l_d1")->text(), processor);
        QCOMPARE(wizard->cpuUsage(), cpu);
        QCOMPARE(wizard->systemOk(), passes);
        QVERIFY(rig()
                    .label("test_list_lab_system_check")
                    ->styleSheet()
                    .contains(passes ? "icon_normal.png" : "icon_non_normal.png"));
    }

    // Lists the worker publishes: no current device, the same id twice, a level of another microphone, a speaker
    // change while the test sound plays.
    void deviceListsFromTheWorker()
    {
        CheckSystemDlg* wizard = rig().open();
        QVERIFY(rig().walkTo(24));
        auto* speakers = rig().child<QComboBox>("comboBox_speaker");
        rig().click("page_2_4_btn_play_audio");
        QSignalSpy play(wizard, &CheckSystemDlg::sig_page_speaker_play_audio);
        QSignalSpy select(wizard, &CheckSystemDlg::sig_page_speaker_select_changed);
        QSignalSpy volume(wizard, &CheckSystemDlg::sig_page_speaker_volume_changed);
        wizard->slot_speaker_devices_changed(devices({{"One", "spk-1"}, {"Two", "spk-2"}, {"Again", "spk-2"}}),
                                             "spk-2");
        QCOMPARE(speakers->currentIndex(), 2);
        QCOMPARE(speakers->currentText(), QStringLiteral("Again"));
        QCOMPARE(rig().button("page_2_4_btn_play_audio")->text(), QStringLiteral("Play audio"));
        QVERIFY(!play.isEmpty());
        QCOMPARE(play.last().at(0).toBool(), false);
        QCOMPARE(select.last().at(0).toString(), QStringLiteral("spk-2"));
        QCOMPARE(volume.last().at(0).toInt(), 50);

        wizard->slot_speaker_devices_changed(devices({{"One", "spk-1"}}), QString());
        QCOMPARE(currentPageName(rig(), "stackedWidget_2"), QStringLiteral("page_12"));
        QVERIFY(!rig().button("page_2_4_btn_play_audio")->isEnabled());
        wizard->slot_camera_devices_changed(devices({{"Cam", "cam-1"}}), QString());
        QCOMPARE(currentPageName(rig(), "stackedWidget"), QStringLiteral("page_3"));

        auto* level = rig().child<QProgressBar>("microphone_volume");
        wizard->slot_microphone_devices_changed(devices({{"Mic 1", "mic-1"}, {"Mic 2", "mic-2"}}), "mic-2");
        level->setValue(7);
        wizard->slot_micphone_volume_indication("mic-1", 200);
        QCOMPARE(level->value(), 7);
        wizard->slot_micphone_volume_indication("mic-2", 200);
        QCOMPARE(level->value(), 200);
        wizard->slot_microphone_devices_changed(vector_device_info(), QString());
        QCOMPARE(currentPageName(rig(), "stackedWidget_microphone"), QStringLiteral("widget_mic_again_check"));
        QVERIFY(rig().label("lab_microphone_show_hint_info")->isHidden());
    }

    // Asking for the lists again shows the waiting state until the worker answers.
    void listsAgain()
    {
        CheckSystemDlg* wizard = rig().open();
        QVERIFY(rig().walkTo(22));
        QSignalSpy camera(wizard, &CheckSystemDlg::sig_page_camera_syncDeviceList);
        rig().click("btn_again_get_camera");
        QCOMPARE(camera.size(), 1);
        QCOMPARE(currentPageName(rig(), "stackedWidget"), QStringLiteral("page"));
        QVERIFY(rig().waitForDevices());
        QCOMPARE(rig().child<QComboBox>("comboBox_camera")->currentText(), QStringLiteral("Simulated Camera"));
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("published");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("note");
        QTest::newRow("no published version") << ""
                                              << "PC v1.5.7 "
                                              << "";
        QTest::newRow("the latest") << "1.5.7"
                                    << "PC v1.5.7 (The latest version)"
                                    << "";
        QTest::newRow("a newer one") << "1.10.0"
                                     << "PC v1.5.7 "
                                     << "(Find a new version)";
    }

    void versionLine()
    {
        QFETCH(QString, published);
        QFETCH(QString, line);
        QFETCH(QString, note);
        AppGlobalData::instance()->launch.latestVersionName = published;
        rig().open();
        AppGlobalData::instance()->launch.latestVersionName.clear();
        QCOMPARE(rig().label("label_1l_d1_1")->text(), line);
        QCOMPARE(rig().label("label_1l_d1_2")->text(), note);
    }

    // The opener: over its parent, close buttons as asked, the callback with the result, then gone.
    void opener()
    {
        QList<int> results;
        QPointer<CheckSystemDlg> wizard =
            openDeviceCheckWizard(&rig().host, false, [&results](int result) { results << result; });
        QVERIFY(wizard->isVisible());
        QCOMPARE(wizard->parentWidget(), &rig().host);
        QVERIFY(wizard->findChild<QPushButton*>("closeBtn_2")->isHidden());
        wizard->done(1);
        QCOMPARE(results, QList<int>{1});
        QTRY_VERIFY(wizard.isNull());
    }

    // The tip dialog: its pages by use and role, one signal per button, then gone.
    void tipDialog_data()
    {
        QTest::addColumn<QString>("show");
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("continues");
        QTest::addColumn<int>("result");
        QTest::newRow("no page chosen") << "" << 1 << "page"
                                        << "okButton" << false << 1;
        QTest::newRow("failed, student") << "failed" << 1 << "page"
                                         << "okButton" << false << 1;
        QTest::newRow("failed, teacher") << "failed" << 2 << "page_2"
                                         << "okButton_2" << false << 0;
        QTest::newRow("failed, auditor") << "failed" << 3 << "page_2"
                                         << "okButton_2" << false << 0;
        QTest::newRow("end") << "continue" << 1 << "page_3"
                             << "endButton" << false << 0;
        QTest::newRow("continue") << "continue" << 1 << "page_3"
                                  << "continueButton" << true << 0;
    }

    void tipDialog()
    {
        QFETCH(QString, show);
        QFETCH(int, accountType);
        QFETCH(QString, page);
        QFETCH(QString, button);
        QFETCH(bool, continues);
        QFETCH(int, result);
        AppGlobalData::instance()->launch.accountType = accountType;
        QPointer<ConfigeTipDlg> tip = new ConfigeTipDlg(&rig().host);
        QCOMPARE(tip->size(), QSize(400, 222));
        if (show == "failed")
            tip->showFeedbackFailedPage();
        else if (show == "continue")
            tip->showContinuePage();
        QList<int> results;
        tip->setDoneCallback([&results](QObject*, int done) { results << done; }, tip);
        QSignalSpy ends(tip.data(), &ConfigeTipDlg::sig_end_device_test);
        QSignalSpy continuations(tip.data(), &ConfigeTipDlg::sig_continue_device_test);
        tip->show();
        QCOMPARE(tip->findChild<QStackedWidget*>("stackedWidget")->currentWidget()->objectName(), page);
        tip->findChild<QPushButton*>(button)->click();
        QCOMPARE(ends.size(), continues ? 0 : 1);
        QCOMPARE(continuations.size(), continues ? 1 : 0);
        QCOMPARE(results, QList<int>{result});
        QTRY_VERIFY(tip.isNull());
    }
};

ZM_TEST_MAIN(TestDeviceCheckWizard)
#include "tst_devicecheckwizard.moc"
