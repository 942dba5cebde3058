#include "live/rtc/sim/SimDeviceManagers.h"

#include "live/rtc/sim/SimEngineCore.h"

#include <cstring>

using namespace agora::rtc;

namespace {

// The name a device list's calls are traced under.
const char* listName(SimDeviceKind kind)
{
    switch (kind) {
    case SimDeviceKind::Camera:
        return "videoDevices";
    case SimDeviceKind::Speaker:
        return "playbackDevices";
    default:
        return "recordingDevices";
    }
}

std::string joined(const char* prefix, const char* call)
{
    return std::string(prefix) + '.' + call;
}

// A call of a device object: the scenario's scripted refusal, or what run returns; traced either way.
template <typename Run> int deviceCall(SimEngineCore& core, const std::string& name, QJsonObject args, Run run)
{
    int result = 0;
    if (!(core.scriptedResult(name.c_str(), nullptr, result) && result < 0))
        result = run();
    core.traceCall(name.c_str(), args, result);
    return result;
}

// A selection through a device object: the device becomes the kind's current one (traced as name).
int selectCall(SimEngineCore& core, const std::string& name, SimDeviceKind kind, const char* deviceId)
{
    const std::string id = deviceTextOf(deviceId);
    return deviceCall(core, name, {{"deviceId", QString::fromStdString(id)}},
                      [&] { return core.devices().select(kind, id); });
}

int getDeviceAt(const std::vector<SimDeviceSpec>& devices, int index, char* name, char* id)
{
    if (index < 0 || std::size_t(index) >= devices.size() || !name || !id)
        return -ERR_INVALID_ARGUMENT;
    copyDeviceText(devices[std::size_t(index)].name, name);
    copyDeviceText(devices[std::size_t(index)].id, id);
    return 0;
}

int currentDevice(SimEngineCore& core, SimDeviceKind kind, char* id)
{
    if (!id)
        return -ERR_INVALID_ARGUMENT;
    copyDeviceText(core.devices().current(kind), id);
    return 0;
}

int setVolume(SimEngineCore& core, SimDeviceKind kind, int volume)
{
    if (volume < 0 || volume > 255)
        return -ERR_INVALID_ARGUMENT;
    core.devices().setVolume(kind, volume);
    return 0;
}

int getVolume(SimEngineCore& core, SimDeviceKind kind, int* volume)
{
    if (!volume)
        return -ERR_INVALID_ARGUMENT;
    *volume = core.devices().volume(kind);
    return 0;
}

} // namespace

void copyDeviceText(const std::string& text, char* buffer)
{
    std::size_t length = std::min(text.size(), std::size_t(MAX_DEVICE_ID_LENGTH - 1));
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

std::string deviceTextOf(const char* buffer)
{
    return buffer ? std::string(buffer, strnlen(buffer, MAX_DEVICE_ID_LENGTH)) : std::string();
}

template <typename Collection>
SimDeviceCollection<Collection>::SimDeviceCollection(std::shared_ptr<SimEngineCore> core, SimDeviceKind kind)
    : m_core(std::move(core))
    , m_kind(kind)
    , m_devices(m_core->devices().list(kind))
{
}

template <typename Collection> int SimDeviceCollection<Collection>::getCount()
{
    return deviceCall(*m_core, joined(listName(m_kind), "getCount"), {}, [this] { return int(m_devices.size()); });
}

template <typename Collection>
int SimDeviceCollection<Collection>::getDevice(int index, char deviceName[MAX_DEVICE_ID_LENGTH],
                                               char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return deviceCall(*m_core, joined(listName(m_kind), "getDevice"), {{"index", index}},
                      [&] { return getDeviceAt(m_devices, index, deviceName, deviceId); });
}

template <typename Collection> int SimDeviceCollection<Collection>::setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return selectCall(*m_core, joined(listName(m_kind), "setDevice"), m_kind, deviceId);
}

template <typename Collection> void SimDeviceCollection<Collection>::release()
{
    m_core->traceCall(joined(listName(m_kind), "release").c_str(), {}, 0);
    delete this;
}

template class SimDeviceCollection<IAudioDeviceCollection>;
template class SimDeviceCollection<IVideoDeviceCollection>;

SimAudioDeviceManager::SimAudioDeviceManager(std::shared_ptr<SimEngineCore> core)
    : m_core(std::move(core))
{
}

IAudioDeviceCollection* SimAudioDeviceManager::enumeratePlaybackDevices()
{
    m_core->traceCall("IAudioDeviceManager.enumeratePlaybackDevices", {}, 0);
    return new SimAudioDeviceCollection(m_core, SimDeviceKind::Speaker);
}

IAudioDeviceCollection* SimAudioDeviceManager::enumerateRecordingDevices()
{
    m_core->traceCall("IAudioDeviceManager.enumerateRecordingDevices", {}, 0);
    return new SimAudioDeviceCollection(m_core, SimDeviceKind::Microphone);
}

int SimAudioDeviceManager::setPlaybackDevice(const char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return selectCall(*m_core, "IAudioDeviceManager.setPlaybackDevice", SimDeviceKind::Speaker, deviceId);
}

int SimAudioDeviceManager::getPlaybackDevice(char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return deviceCall(*m_core, "IAudioDeviceManager.getPlaybackDevice", {},
                      [&] { return currentDevice(*m_core, SimDeviceKind::Speaker, deviceId); });
}

int SimAudioDeviceManager::setPlaybackDeviceVolume(int volume)
{
    return deviceCall(*m_core, "IAudioDeviceManager.setPlaybackDeviceVolume", {{"volume", volume}},
                      [&] { return setVolume(*m_core, SimDeviceKind::Speaker, volume); });
}

int SimAudioDeviceManager::getPlaybackDeviceVolume(int* volume)
{
    return deviceCall(*m_core, "IAudioDeviceManager.getPlaybackDeviceVolume", {},
                      [&] { return getVolume(*m_core, SimDeviceKind::Speaker, volume); });
}

int SimAudioDeviceManager::setRecordingDevice(const char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return selectCall(*m_core, "IAudioDeviceManager.setRecordingDevice", SimDeviceKind::Microphone, deviceId);
}

int SimAudioDeviceManager::getRecordingDevice(char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return deviceCall(*m_core, "IAudioDeviceManager.getRecordingDevice", {},
                      [&] { return currentDevice(*m_core, SimDeviceKind::Microphone, deviceId); });
}

int SimAudioDeviceManager::setRecordingDeviceVolume(int volume)
{
    return deviceCall(*m_core, "IAudioDeviceManager.setRecordingDeviceVolume", {{"volume", volume}},
                      [&] { return setVolume(*m_core, SimDeviceKind::Microphone, volume); });
}

int SimAudioDeviceManager::getRecordingDeviceVolume(int* volume)
{
    return deviceCall(*m_core, "IAudioDeviceManager.getRecordingDeviceVolume", {},
                      [&] { return getVolume(*m_core, SimDeviceKind::Microphone, volume); });
}

int SimAudioDeviceManager::startPlaybackDeviceTest(const char* testAudioFilePath)
{
    return m_core->setPlaybackTest(testAudioFilePath, true);
}

int SimAudioDeviceManager::stopPlaybackDeviceTest()
{
    return m_core->setPlaybackTest(nullptr, false);
}

int SimAudioDeviceManager::startRecordingDeviceTest(int indicationInterval)
{
    if (indicationInterval <= 0) {
        m_core->traceCall("startRecordingDeviceTest", {{"indicationInterval", indicationInterval}},
                          -ERR_INVALID_ARGUMENT);
        return -ERR_INVALID_ARGUMENT;
    }
    return m_core->setRecordingTest(indicationInterval);
}

int SimAudioDeviceManager::stopRecordingDeviceTest()
{
    return m_core->setRecordingTest(0);
}

void SimAudioDeviceManager::release()
{
    m_core->traceCall("IAudioDeviceManager.release", {}, 0);
    delete this;
}

SimVideoDeviceManager::SimVideoDeviceManager(std::shared_ptr<SimEngineCore> core)
    : m_core(std::move(core))
{
}

IVideoDeviceCollection* SimVideoDeviceManager::enumerateVideoDevices()
{
    m_core->traceCall("IVideoDeviceManager.enumerateVideoDevices", {}, 0);
    return new SimVideoDeviceCollection(m_core, SimDeviceKind::Camera);
}

int SimVideoDeviceManager::setDevice(const char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return selectCall(*m_core, "IVideoDeviceManager.setDevice", SimDeviceKind::Camera, deviceId);
}

int SimVideoDeviceManager::getDevice(char deviceId[MAX_DEVICE_ID_LENGTH])
{
    return deviceCall(*m_core, "IVideoDeviceManager.getDevice", {},
                      [&] { return currentDevice(*m_core, SimDeviceKind::Camera, deviceId); });
}

void SimVideoDeviceManager::release()
{
    m_core->traceCall("IVideoDeviceManager.release", {}, 0);
    delete this;
}
