#include "live/rtc/sim/SimDeviceModel.h"

#include "live/rtc/engine/RtcEngineTypes.h"
#include "live/rtc/sim/SimMediaSource.h"

#include <algorithm>
#include <cmath>

using namespace agora::rtc;

namespace {

// The device of the list with this id, or the list's end.
template <typename Devices> auto findDevice(Devices& devices, const std::string& id)
{
    return std::find_if(devices.begin(), devices.end(), [&id](const SimDeviceSpec& each) { return each.id == id; });
}

} // namespace

SimDeviceModel::SimDeviceModel(const SimScenario& scenario, std::shared_ptr<SimMediaSource> realDevices)
    : m_recordingVolume(scenario.recordingVolume)
    , m_playbackVolume(scenario.playbackVolume)
    , m_real(std::move(realDevices))
{
    if (m_real) {
        for (SimDeviceKind which : {SimDeviceKind::Camera, SimDeviceKind::Microphone, SimDeviceKind::Speaker})
            kind(which).devices = m_real->devices(which);
    } else {
        kind(SimDeviceKind::Camera).devices = scenario.cameras;
        kind(SimDeviceKind::Microphone).devices = scenario.microphones;
        kind(SimDeviceKind::Speaker).devices = scenario.speakers;
    }
    for (Kind& each : m_kinds) {
        if (!each.devices.empty())
            each.current = each.devices.front().id;
    }
}

std::vector<SimDeviceSpec> SimDeviceModel::list(SimDeviceKind which) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind(which).devices;
}

std::string SimDeviceModel::current(SimDeviceKind which) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return kind(which).current;
}

int SimDeviceModel::select(SimDeviceKind which, const std::string& id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Kind& entry = kind(which);
    const auto device = findDevice(entry.devices, id);
    if (device == entry.devices.end())
        return -ERR_INVALID_ARGUMENT;
    if (device->refuse)
        return -ERR_REFUSED;
    entry.current = id;
    return 0;
}

int SimDeviceModel::volume(SimDeviceKind which) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return which == SimDeviceKind::Speaker ? m_playbackVolume : m_recordingVolume;
}

void SimDeviceModel::setVolume(SimDeviceKind which, int volume)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    (which == SimDeviceKind::Speaker ? m_playbackVolume : m_recordingVolume) = std::clamp(volume, 0, 255);
}

bool SimDeviceModel::plug(SimDeviceKind which, const SimDeviceSpec& device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Kind& entry = kind(which);
    if (findDevice(entry.devices, device.id) != entry.devices.end())
        return false;
    entry.devices.push_back(device);
    if (entry.current.empty())
        entry.current = device.id;
    return true;
}

bool SimDeviceModel::unplug(SimDeviceKind which, const std::string& id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Kind& entry = kind(which);
    const auto device = findDevice(entry.devices, id);
    if (device == entry.devices.end())
        return false;
    entry.devices.erase(device);
    if (entry.current == id)
        entry.current = entry.devices.empty() ? std::string() : entry.devices.front().id;
    return true;
}

int SimDeviceModel::microphoneLevel(long long timeMs) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Kind& microphones = kind(SimDeviceKind::Microphone);
    if (microphones.current.empty())
        return 0;
    if (m_real)
        return m_real->microphoneLevel();
    for (const SimDeviceSpec& device : microphones.devices) {
        if (device.id == microphones.current && device.level >= 0)
            return device.level;
    }
    // Syllables and pauses: a fast wave under a slow one.
    const double seconds = double(timeMs) / 1000.0;
    const double level = 200.0 * std::fabs(std::sin(seconds * 7.0)) * (0.55 + 0.45 * std::sin(seconds * 0.9));
    return std::clamp(int(level), 0, 255);
}
