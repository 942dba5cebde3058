// The measuring side of the device-check wizard: pings, the download test, the processor's load, their verdicts
// and the check report.
#include "settings/CheckSystemDlg.h"

#include "app/AppGlobalData.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "net/api/ZmNetAPI.h"
#include "settings/AsyncDownload.h"
#include "settings/AsyncPing.h"
#include "settings/ConfigeTipDlg.h"
#include "settings/SystemCheckVerdicts.h"
#include "settings/ToastDialog_2.h"
#include "ui/common/QDelayTimer.h"

#include "ui_CheckSystemDlg.h"

#include <QMutex>
#include <QUrl>

namespace {

constexpr int kPingAttempts = 10;
constexpr int kPingLimitMs = 30000;
constexpr int kDownloadLimitSec = 30;
constexpr int kCpuSamplesNeeded = 8;
constexpr int kFailureTipDelayMs = 200;

QMutex g_samplerMutex;
std::function<int()> g_cpuSampler;
int g_cpuIntervalMs = 1000;

int cpuIntervalMs()
{
    QMutexLocker locker(&g_samplerMutex);
    return g_cpuIntervalMs;
}

int sampleCpuUsage()
{
    std::function<int()> sampler;
    {
        QMutexLocker locker(&g_samplerMutex);
        sampler = g_cpuSampler;
    }
    return sampler ? sampler() : getSystemCpuUsage();
}

void showVerdict(QLabel* label, const SystemCheck::Verdict& verdict)
{
    label->setText(verdict.text);
    label->setStyleSheet(verdict.styleSheet);
}

} // namespace

void CheckSystemDlg::setCpuUsageSampler(std::function<int()> sampler, int intervalMs)
{
    QMutexLocker locker(&g_samplerMutex);
    g_cpuSampler = std::move(sampler);
    g_cpuIntervalMs = g_cpuSampler ? qMax(1, intervalMs) : 1000;
}

void CheckSystemDlg::startSystemCheck()
{
    stopSystemCheck();
    const UrlConfig* urls = UrlConfig::instance();
    for (const QString& url : {urls->mainRoom, urls->whiteboard, urls->api, urls->webSocket})
        startPing(url);

    m_download = new AsyncDownload(urls->testDownload, kDownloadLimitSec);
    connect(m_download, &AsyncDownload::sigEnded, this, &CheckSystemDlg::slotDownloadEnded);
    m_download->start();

    startCpuTimer();
    m_systemOk = false;
    ui->page_2_1_btn_next->setEnabled(false);
    for (QLabel* label : {ui->label_3l_d1, ui->label_4l_d1, ui->label_5l_d1})
        showVerdict(label, SystemCheck::detectingVerdict());
}

void CheckSystemDlg::stopSystemCheck()
{
    stopCpuTimer();
    // Probes still running end by themselves within their limits and free themselves then.
    for (AsyncPing* ping : qAsConst(m_pings)) {
        disconnect(ping, nullptr, this, nullptr);
        ping->release();
    }
    m_pings.clear();
    m_endedPings.clear();
    if (m_download) {
        disconnect(m_download, nullptr, this, nullptr);
        m_download->release();
        m_download = nullptr;
    }
}

void CheckSystemDlg::startPing(const QString& url)
{
    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    const bool secure = scheme == QLatin1String("https") || scheme == QLatin1String("wss");
    auto* ping = new AsyncPing(address.host(QUrl::FullyDecoded), kPingAttempts, kPingLimitMs);
    ping->setFallbackPort(quint16(address.port(secure ? 443 : 80)));
    connect(ping, &AsyncPing::sigPingEnded, this, &CheckSystemDlg::slotPingEnded);
    m_pings.append(ping);
    ping->start();
}

void CheckSystemDlg::startCpuTimer()
{
    disconnect(&m_cpuTimer, &QTimer::timeout, this, &CheckSystemDlg::onTimerCpuUsage);
    m_cpuTimer.setInterval(cpuIntervalMs());
    m_cpuTimer.setSingleShot(false);
    connect(&m_cpuTimer, &QTimer::timeout, this, &CheckSystemDlg::onTimerCpuUsage);
    m_cpuTimer.start();
    m_cpuSampleCount = 0;
}

void CheckSystemDlg::stopCpuTimer()
{
    m_cpuTimer.stop();
}

void CheckSystemDlg::onTimerCpuUsage()
{
    const int usage = sampleCpuUsage();
    if (usage <= 0)
        return;
    ++m_cpuSampleCount;
    if (m_cpuSampleCount < kCpuSamplesNeeded)
        return;
    m_cpuUsage = usage;
    updateSystemCheckResult();
}

void CheckSystemDlg::slotPingEnded(AsyncPing* pAsyncPing)
{
    // A probe of an earlier run may still report: only the current run's count.
    if (!m_pings.contains(pAsyncPing) || m_endedPings.contains(pAsyncPing))
        return;
    m_endedPings.append(pAsyncPing);
    if (m_endedPings.size() == m_pings.size())
        updateSystemCheckResult();
}

void CheckSystemDlg::slotDownloadEnded(AsyncDownload* pAsynDownload)
{
    if (pAsynDownload == m_download)
        updateSystemCheckResult();
}

int CheckSystemDlg::pingVerdictOverall() const
{
    QList<int> grades;
    for (const AsyncPing* ping : m_endedPings)
        grades << ping->quality();
    return SystemCheck::overallPingGrade(grades);
}

void CheckSystemDlg::updateSystemCheckResult()
{
    bool ok = true;
    bool complete = true;

    if (!m_pings.isEmpty() && m_endedPings.size() == m_pings.size()) {
        const int overall = pingVerdictOverall();
        showVerdict(ui->label_4l_d1, SystemCheck::networkVerdict(overall));
        ok = ok && SystemCheck::networkPasses(overall);
    } else {
        complete = false;
    }

    if (!m_download || !m_download->isFinished()) {
        complete = false;
    } else {
        showVerdict(ui->label_3l_d1, SystemCheck::downloadVerdict(m_download->failed(), m_download->speed()));
        ok = ok && SystemCheck::downloadPasses(m_download->failed(), m_download->speed());
    }

    if (m_cpuSampleCount >= kCpuSamplesNeeded) {
        stopCpuTimer();
        showVerdict(ui->label_5l_d1, SystemCheck::cpuVerdict(m_cpuUsage));
    } else {
        complete = false;
    }

    if (!complete)
        return;
    ui->page_2_1_btn_next->setEnabled(true);
    m_systemOk = ok;
    if (m_currentPage == 21)
        setResultIcon(ui->test_list_lab_system_check, ok);
}

int CheckSystemDlg::submitCheckReport()
{
    SystemCheck::ReportInput input;
    input.cameraOk = m_cameraOk;
    input.microphoneOk = m_microphoneOk;
    input.speakerOk = m_speakerOk;
    for (const AsyncPing* ping : qAsConst(m_endedPings))
        input.pingLines << ping->resultText();
    if (m_download) {
        input.downloadLine = m_download->isFinished() ? m_download->resultText()
                                                      : m_download->url() + QStringLiteral(" = Connection failed");
    }
    input.cpuUsage = m_cpuUsage;
    return ZmNetAPI::instance()->FeedbackErrorOfCheckUserDevcies(AppGlobalData::instance()->userIdAsInt(),
                                                                 SystemCheck::reportLines(input));
}

void CheckSystemDlg::on_btn_submit_feekback_clicked()
{
    if (AppGlobalData::instance()->userIdAsInt() == -1) {
        auto* toast = new ToastDialog_2(parentWidget());
        toast->showToast(ToastDialog::Success, tr("You're not logged in yet, you can't submit feedback."));
        done(1);
        return;
    }
    if (submitCheckReport() == 0) {
        auto* toast = new ToastDialog_2(parentWidget());
        toast->showToast(ToastDialog::Success, tr("Submit successfully, we will follow up your feedback in time."));
        done(1);
        return;
    }
    ConfigeTipDlg* tip = createTip(false);
    QDelayTimer::delay(
        kFailureTipDelayMs,
        [](QDelayTimer* timer) {
            if (QObject* context = timer->context())
                static_cast<ConfigeTipDlg*>(context)->show();
        },
        tip);
}
