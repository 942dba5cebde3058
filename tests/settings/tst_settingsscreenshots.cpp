#include "settings/ConfigeDlg_Imp.h"
#include "settings/SystemSettingDlg.h"

#include "live/rtc/AgoraChannel.h"

#include "LogCapture.h"
#include "RtcTestSupport.h"
#include "Screenshots.h"
#include "ZmTestMain.h"

#include <QComboBox>
#include <QDir>

#include <memory>

// Renders the device and rendering settings dialogs to PNGs under <build>/screenshots/ so that a person can look
// at them.
class TestSettingsScreenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ZmTest::screenshotDir())); }

    void deviceSettings()
    {
        RtcTest::TracedScenario traced;
        traced.scenario.cameras = {{"Integrated Camera", "cam-1", false, -1},
                                   {"USB 2.0 HD Webcam", "cam-2", false, -1}};
        traced.scenario.microphones = {{"Microphone Array (Realtek High Definition Audio)", "mic-1", false, -1}};
        traced.scenario.speakers = {{"Speakers (USB Audio Device)", "spk-1", false, -1}};
        traced.use();
        AgoraChannel room;
        QCOMPARE(room.initialize(), 0);

        ZmTest::LogCapture log;
        std::unique_ptr<ConfigeDlg_Imp> dialog(ConfigeDlg_Imp::create(room.engine(), false, nullptr));
        QVERIFY(log.waitFor(QStringLiteral("ConfigerStatus::CFG_AudioOutValidate_Succed")));
        QCOMPARE(dialog->findChild<QComboBox*>("cBoxCamera")->count(), 2);
        ZmTest::showAndSaveScreenshot(*dialog, "ConfigeDlg_Imp");
        QCOMPARE(dialog->size(), QSize(413, 303));
        dialog.reset();
        room.uninitialize();
    }

    void renderingSettings()
    {
        SystemSettingDlg dialog;
        ZmTest::showAndSaveScreenshot(dialog, "SystemSettingDlg");
        QCOMPARE(dialog.size(), QSize(413, 303));
    }
};

ZM_TEST_MAIN(TestSettingsScreenshots)
#include "tst_settingsscreenshots.moc"
