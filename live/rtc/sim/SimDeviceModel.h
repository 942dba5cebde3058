#pragma once

#include "live/rtc/sim/SimScenario.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SimMediaSource;

// The devices of one simulated engine: a list per kind, the current device of each kind and the two volumes
// (0-255). Lists come from the scenario or, with a media source, from the machine. Thread-safe.
class SimDeviceModel
{
public:
    SimDeviceModel(const SimScenario& scenario, std::shared_ptr<SimMediaSource> realDevices);

    std::vector<SimDeviceSpec> list(SimDeviceKind kind) const;
    // Empty when the kind has no device.
    std::string current(SimDeviceKind kind) const;

    // 0 when id became current; -ERR_INVALID_ARGUMENT when there is no such device, -ERR_REFUSED when it refuses.
    int select(SimDeviceKind kind, const std::string& id);

    // The microphone's (recording) or the speaker's (playback) volume.
    int volume(SimDeviceKind kind) const;
    void setVolume(SimDeviceKind kind, int volume);

    // A device appears (false when its id is listed already) or goes away (false when not listed). When the
    // current device goes, the first remaining one becomes current.
    bool plug(SimDeviceKind kind, const SimDeviceSpec& device);
    bool unplug(SimDeviceKind kind, const std::string& id);

    // The current microphone's level (0-255) at the time given in ms: its fixed level, a varying voice, the real
    // microphone's level, or 0 without a microphone.
    int microphoneLevel(long long timeMs) const;

    // The machine's devices, or null when they are simulated.
    SimMediaSource* realDevices() const { return m_real.get(); }

private:
    struct Kind
    {
        std::vector<SimDeviceSpec> devices;
        std::string current;
    };
    Kind& kind(SimDeviceKind which) { return m_kinds[int(which)]; }
    const Kind& kind(SimDeviceKind which) const { return m_kinds[int(which)]; }

    mutable std::mutex m_mutex;
    Kind m_kinds[3];
    int m_recordingVolume = 0;
    int m_playbackVolume = 0;
    std::shared_ptr<SimMediaSource> m_real;
};
