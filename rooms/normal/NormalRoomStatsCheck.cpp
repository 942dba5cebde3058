#include "rooms/normal/NormalRoomStatsCheck.h"

namespace {

constexpr int kCpuLimit = 90;
constexpr int kBitRateLow = 1;
constexpr int kBitRateHigh = 65535;

int statValue(const QMapStrVar& stats, const char* key)
{
    return stats.value(QLatin1String(key)).toInt();
}

} // namespace

bool NormalRoomStatsCheck::checkRangeMiss(int value, int low, int high, int& counter)
{
    if (counter >= kMissesToReport)
        return false;
    if (value >= low && value < high) {
        counter = 0;
        return false;
    }
    ++counter;
    return counter == kMissesToReport;
}

QList<DeviceProblem> NormalRoomStatsCheck::check(const QMapStrVar& stats, const RtcStatsContext& context)
{
    QList<DeviceProblem> problems;
    if (checkRangeMiss(statValue(stats, "cpuTotalUsage"), 0, kCpuLimit, m_cpuMisses))
        problems << DeviceProblem{8, -9007, QStringLiteral("Cpu Error"), QStringLiteral("CPU>90%")};
    if (context.onlineUsers < 2)
        return problems;

    // Received audio counts as flowing while the teacher's own page video plays, and for a pupil whose teacher is
    // muted; sent audio while the local microphone is not live.
    const bool rxAudioExpectedSilent =
        (context.localIsTeacher && context.pageVideoPlaying) || (context.localIsPupil && context.teacherAudioMuted);
    const int rxAudio = rxAudioExpectedSilent ? 1 : statValue(stats, "rxAudioKBitRate");
    const int txAudio = context.localAudioLive ? statValue(stats, "txAudioKBitRate") : 1;
    if (checkRangeMiss(rxAudio, kBitRateLow, kBitRateHigh, m_rxAudioMisses))
        problems << DeviceProblem{6, -9004, QStringLiteral("Audio Error"), QStringLiteral("rxAudioKBitRate == 0")};
    if (checkRangeMiss(txAudio, kBitRateLow, kBitRateHigh, m_txAudioMisses))
        problems << DeviceProblem{6, -9003, QStringLiteral("Audio Error"), QStringLiteral("txAudioKBitRate == 0")};
    if (checkRangeMiss(statValue(stats, "rxVideoKBitRate"), kBitRateLow, kBitRateHigh, m_rxVideoMisses))
        problems << DeviceProblem{7, -9006, QStringLiteral("Video Error"), QStringLiteral("rxVideoKBitRate == 0")};
    if (checkRangeMiss(statValue(stats, "txVideoKBitRate"), kBitRateLow, kBitRateHigh, m_txVideoMisses))
        problems << DeviceProblem{7, -9005, QStringLiteral("Video Error"), QStringLiteral("txVideoKBitRate == 0")};
    return problems;
}
