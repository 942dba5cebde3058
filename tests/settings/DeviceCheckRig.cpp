#include "DeviceCheckRig.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "settings/AsyncDownload.h"

#include <QStackedWidget>
#include <QTest>

DeviceCheckRig::DeviceCheckRig()
{
    ping.reply(QStringLiteral("*"), 20);
    // The test gives the samples itself.
    CheckSystemDlg::setCpuUsageSampler([] { return 25; }, 3600 * 1000);
    // The download-test file (1 MiB) counts as taken in one second, a "Great" speed however loaded the machine.
    AsyncDownload::setDurationMsForTesting(1000);
    host.resize(1100, 700);
    host.show();
}

DeviceCheckRig::~DeviceCheckRig()
{
    delete wizard.data();
    CheckSystemDlg::setCpuUsageSampler(nullptr);
    AsyncDownload::setDurationMsForTesting(-1);
}

bool DeviceCheckRig::start()
{
    if (!simulator.start())
        return false;
    UrlConfig* urls = UrlConfig::instance();
    simulator.pointUrlConfig(*urls);
    urls->mainRoom = QStringLiteral("http://main.test/index.html");
    urls->whiteboard = QStringLiteral("https://board.test/pages/whiteboard");
    urls->webSocket = QStringLiteral("ws://ws.test/ws");
    AppGlobalData::instance()->launch.userId = QStringLiteral("100234");
    AppGlobalData::instance()->launch.accountType = 1;
    return true;
}

CheckSystemDlg* DeviceCheckRig::open(bool canClose)
{
    auto* opened = new CheckSystemDlg(&host);
    opened->setCloseButtonsVisible(canClose);
    opened->setDoneCallback(
        [this](QObject* context, int result) {
            results << result;
            if (context)
                context->deleteLater();
        },
        opened);
    opened->show();
    wizard = opened;
    return opened;
}

void DeviceCheckRig::click(const char* name) const
{
    if (QPushButton* target = button(name))
        target->click();
    else
        qWarning("DeviceCheckRig::click no button %s", name);
}

bool DeviceCheckRig::waitForDevices()
{
    const struct
    {
        int page;
        const char* stack;
        const char* list;
    } lists[] = {{22, "stackedWidget", "page_4"},
                 {23, "stackedWidget_microphone", "widget_mic_comboBox"},
                 {24, "stackedWidget_2", "page_13"}};
    for (const auto& entry : lists) {
        if (wizard && wizard->currentPage() == entry.page) {
            auto* stack = child<QStackedWidget>(entry.stack);
            return QTest::qWaitFor([&] { return stack->currentWidget()->objectName() == entry.list; }, ZmTest::kWaitMs);
        }
    }
    return true;
}

bool DeviceCheckRig::finishMeasuring()
{
    for (int sample = 0; sample < 8; ++sample)
        wizard->onTimerCpuUsage();
    return QTest::qWaitFor([this] { return button("page_2_1_btn_next")->isEnabled(); }, ZmTest::kWaitMs);
}

bool DeviceCheckRig::walkTo(int page)
{
    if (!wizard)
        return false;
    if (wizard->currentPage() == 0)
        click("page_1_btn_start");
    const struct
    {
        int page;
        const char* next;
    } steps[] = {
        {22, "page_2_2_btn_next"}, {23, "page_2_3_btn_next"}, {24, "page_2_4_btn_next"}, {21, "page_2_1_btn_next"}};
    for (const auto& step : steps) {
        if (wizard->currentPage() != step.page)
            continue;
        if (!waitForDevices())
            return false;
        if (step.page == page)
            return true;
        if (step.page == 21 && !finishMeasuring())
            return false;
        click(step.next);
    }
    return wizard->currentPage() == page;
}
