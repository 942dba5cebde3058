#pragma once

#include "live/rtc/DeviceInfo.h"
#include "live/rtc/engine/IDeviceManagers.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <string>
#include <vector>

// Helpers the device classes share over the engine's device collections and managers.
namespace DeviceCollections {

// A device id in the engine's buffer form: UTF-8, cut at 511 bytes, terminated.
class IdBuffer
{
public:
    explicit IdBuffer(const QByteArray& utf8)
    {
        const std::size_t length = std::min<std::size_t>(std::size_t(utf8.size()), sizeof m_text - 1);
        std::memcpy(m_text, utf8.constData(), length);
        m_text[length] = '\0';
    }
    explicit IdBuffer(const std::string& utf8)
        : IdBuffer(QByteArray::fromStdString(utf8))
    {
    }
    const char* text() const { return m_text; }

private:
    char m_text[agora::rtc::MAX_DEVICE_ID_LENGTH];
};

// The collection's count, 0 without one.
template <typename Collection> int countOf(Collection* collection)
{
    return collection ? collection->getCount() : 0;
}

// Name and id of entry index; false for an index outside the list, without a collection, or when the engine
// refuses the entry.
template <typename Collection> bool deviceAt(Collection* collection, int index, QString& name, QString& id)
{
    if (!collection || index < 0 || index >= collection->getCount())
        return false;
    char nameBuffer[agora::rtc::MAX_DEVICE_ID_LENGTH] = {};
    char idBuffer[agora::rtc::MAX_DEVICE_ID_LENGTH] = {};
    if (collection->getDevice(index, nameBuffer, idBuffer) != 0)
        return false;
    name = deviceText(nameBuffer);
    id = deviceText(idBuffer);
    return true;
}

// Appends {index, name, id} for every entry the engine gives; returns the list's new size.
template <typename Collection> int appendDevices(Collection* collection, std::vector<device_info>& devices)
{
    const int count = countOf(collection);
    for (int index = 0; index < count; ++index) {
        device_info device;
        device.index = index;
        if (deviceAt(collection, index, device.name, device.id))
            devices.push_back(device);
    }
    return int(devices.size());
}

// A current-device query of a manager (getRecordingDevice and the like) as text; empty when it fails.
template <typename Query> QString currentDeviceOf(Query query)
{
    char idBuffer[agora::rtc::MAX_DEVICE_ID_LENGTH] = {};
    return query(idBuffer) == 0 ? deviceText(idBuffer) : QString();
}

// An engine's device manager together with one of its device lists, given back together (list first).
template <typename Manager, typename Collection> class ManagedList
{
public:
    ManagedList() = default;
    ~ManagedList() { release(); }

    ManagedList(const ManagedList&) = delete;
    ManagedList& operator=(const ManagedList&) = delete;

    // Takes the engine's manager (query-interface iid) and the list enumerate(manager) makes; false, with nothing
    // kept, when either is missing (*managerFound tells which).
    template <typename Enumerate>
    bool take(agora::rtc::IRtcEngine* engine, agora::rtc::INTERFACE_ID_TYPE iid, Enumerate enumerate,
              bool* managerFound = nullptr)
    {
        release();
        void* manager = nullptr;
        const bool found = engine && engine->queryInterface(iid, &manager) == 0 && manager;
        if (managerFound)
            *managerFound = found;
        if (!found)
            return false;
        m_manager = static_cast<Manager*>(manager);
        m_collection = enumerate(m_manager);
        if (!m_collection) {
            release();
            return false;
        }
        return true;
    }

    void release()
    {
        if (m_collection)
            m_collection->release();
        m_collection = nullptr;
        if (m_manager)
            m_manager->release();
        m_manager = nullptr;
    }

    Manager* manager() const { return m_manager; }
    Collection* collection() const { return m_collection; }

private:
    Manager* m_manager = nullptr;
    Collection* m_collection = nullptr;
};

using VideoDeviceList = ManagedList<agora::rtc::IVideoDeviceManager, agora::rtc::IVideoDeviceCollection>;
using AudioDeviceList = ManagedList<agora::rtc::IAudioDeviceManager, agora::rtc::IAudioDeviceCollection>;

// The camera list of an engine's video device manager; the recording or playback list of its audio one.
inline bool takeCameras(VideoDeviceList& list, agora::rtc::IRtcEngine* engine, bool* managerFound = nullptr)
{
    return list.take(
        engine, agora::rtc::AGORA_IID_VIDEO_DEVICE_MANAGER,
        [](agora::rtc::IVideoDeviceManager* manager) { return manager->enumerateVideoDevices(); }, managerFound);
}
inline bool takeRecordingDevices(AudioDeviceList& list, agora::rtc::IRtcEngine* engine)
{
    return list.take(engine, agora::rtc::AGORA_IID_AUDIO_DEVICE_MANAGER,
                     [](agora::rtc::IAudioDeviceManager* manager) { return manager->enumerateRecordingDevices(); });
}
inline bool takePlaybackDevices(AudioDeviceList& list, agora::rtc::IRtcEngine* engine)
{
    return list.take(engine, agora::rtc::AGORA_IID_AUDIO_DEVICE_MANAGER,
                     [](agora::rtc::IAudioDeviceManager* manager) { return manager->enumeratePlaybackDevices(); });
}

// Makes id current through the collection, logging "SetCurrentDevice: <id>"; an exception from the engine is logged
// and counts as a failure (-1). The engine's result otherwise.
int setCurrentDevice(agora::rtc::IAudioDeviceCollection* collection, const std::string& id);
int setCurrentDevice(agora::rtc::IVideoDeviceCollection* collection, const std::string& id);

// Stores the device id under key ("SelectedDeviceID/...") in the user settings.
void saveSelectedDevice(const char* key, const QString& id);

// Logs a not-recommended check: "<check>: <name> : <verdict>" and returns matched.
bool logNotRecommended(const char* check, const QString& deviceName, bool matched, const char* matchedWord = "true");

// Percent (0-100) to the engine's volume (0-255), rounded down, and back to the nearest percent.
inline int engineVolumeOf(int percent)
{
    return percent * 255 / 100;
}
inline int percentOf(int engineVolume)
{
    return int(engineVolume / 255.0 * 100.0 + 0.5);
}

} // namespace DeviceCollections
