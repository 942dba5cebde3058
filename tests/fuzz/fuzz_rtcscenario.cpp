// Feeds arbitrary bytes to the simulated RTC engine's scenario reader.
#include "live/rtc/sim/SimScenario.h"

#include "QtLeakScope.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), int(size));
    SimScenario scenario;
    QString error;
    bool read = false;
    {
        const QtLeakScope ignoreQtLeaks;
        read = SimScenario::fromJson(json, scenario, &error);
    }
    if (!read) {
        // A refusal always says why.
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    // Whatever came in, what the engine relies on holds: frame sizes and rates it can allocate and time, volumes and
    // qualities in their ranges, no negative delays.
    if (scenario.fps < 1 || scenario.fps > 60 || scenario.captureWidth < 2 || scenario.captureWidth > 3840 ||
        scenario.captureHeight < 2 || scenario.captureHeight > 2160 || scenario.remoteWidth < 2 ||
        scenario.remoteHeight < 2 || scenario.strideAlign < 1 || scenario.stridePadding < 0 ||
        scenario.joinSuccessDelayMs < 0 || scenario.releaseDelayMs < 0 || scenario.statsIntervalMs < 100 ||
        scenario.qualityIntervalMs < 100 || scenario.recordingVolume < 0 || scenario.recordingVolume > 255 ||
        scenario.playbackVolume < 0 || scenario.playbackVolume > 255 || scenario.txQuality < 0 ||
        scenario.rxQuality > 6)
        std::abort();
    for (const SimEvent& event : scenario.events) {
        if (event.atMs < 0 || event.width < 0 || event.width > 3840 || event.height < 0 || event.height > 2160 ||
            event.volume < -1 || event.volume > 255)
            std::abort();
    }
    for (const auto& results : scenario.results) {
        if (results.second.empty())
            std::abort();
    }
    return 0;
}
