#include "rooms/common/RoomDevices.h"

#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "settings/ConfigeDlg_Imp.h"
#include "ui/common/QDelayTimer.h"
#include "web/whiteboard/Whiteboard.h"

#include <QCoreApplication>
#include <QDebug>
#include <QStringList>

const char RoomDevices::kCameraKey[] = "SelectedDeviceID/Camera";
const char RoomDevices::kMicrophoneKey[] = "SelectedDeviceID/AudioIN";
const char RoomDevices::kSpeakerKey[] = "SelectedDeviceID/AudioOUT";

namespace {

constexpr int kDeviceNotPresent = 4;
constexpr int kDeviceUnplugged = 8;
constexpr int kResumePageVideoMs = 500;

// True, and the stored id cleared, when key holds deviceId (an empty id names no device).
bool takeStoredDevice(const char* key, const std::string& deviceId)
{
    if (deviceId.empty())
        return false;
    QByteArray stored;
    if (!ConfigManager::instance()->ini_GetParam_String(key, stored) || stored.toStdString() != deviceId)
        return false;
    ConfigManager::instance()->ini_SetParam_String(key, QByteArray());
    return true;
}

// The stored device of key when devices lists it, else the first listed; empty without devices.
std::string deviceToSelect(const char* key, const vector_device_info& devices)
{
    if (devices.empty())
        return {};
    QByteArray stored;
    ConfigManager::instance()->ini_GetParam_String(key, stored);
    const int index = ConfigeDlg_Imp::indexOfDeviceID(QString::fromUtf8(stored), devices);
    return (index >= 0 ? devices[std::size_t(index)] : devices.front()).id.toStdString();
}

// A device change may stop the page's playing courseware video: it resumes a moment later.
void resumePageVideoSoon(Whiteboard* page)
{
    if (!page->isVideoPlaying())
        return;
    QDelayTimer::delay(
        kResumePageVideoMs,
        [](QDelayTimer* timer) {
            if (auto* board = qobject_cast<Whiteboard*>(timer->context()))
                board->resumeVideoForAgora();
        },
        page);
}

void logSelection(const char* key, const std::string& id, int result)
{
    qInfo().noquote() << "RoomDevices" << key << "->" << QString::fromStdString(id) << "result" << result;
}

} // namespace

bool RoomDevices::takeUnpluggedAudioDevice(const std::string& deviceId, int deviceState)
{
    if (deviceState != kDeviceUnplugged && deviceState != kDeviceNotPresent)
        return false;
    return takeStoredDevice(kMicrophoneKey, deviceId) || takeStoredDevice(kSpeakerKey, deviceId);
}

bool RoomDevices::takeUnpluggedCamera(const std::string& deviceId, int deviceState)
{
    return deviceState == kDeviceUnplugged && takeStoredDevice(kCameraKey, deviceId);
}

bool RoomDevices::audioDeviceStateChanged(Whiteboard* page, const std::string& deviceId, int deviceType,
                                          int deviceState)
{
    qInfo().noquote() << QStringLiteral("Audio device state change id = %1, type =%2, status =%3")
                             .arg(QString::fromStdString(deviceId))
                             .arg(deviceType)
                             .arg(deviceState);
    resumePageVideoSoon(page);
    return takeUnpluggedAudioDevice(deviceId, deviceState);
}

bool RoomDevices::videoDeviceStateChanged(Whiteboard* page, const std::string& deviceId, int deviceState)
{
    qInfo().noquote() << QStringLiteral("Video device state change id = %1").arg(QString::fromStdString(deviceId));
    qInfo() << "Video device state:" << deviceState;
    resumePageVideoSoon(page);
    return takeUnpluggedCamera(deviceId, deviceState);
}

void RoomDevices::reselectDevices(AgoraAudioDevice* audio, AgoraVideoDevice* video)
{
    if (video) {
        vector_device_info cameras;
        video->GetDevices(cameras);
        const std::string id = deviceToSelect(kCameraKey, cameras);
        if (!id.empty())
            logSelection(kCameraKey, id, video->SetCurDevice(id));
    }
    if (audio) {
        vector_device_info microphones;
        audio->GetRecordingDevices(microphones);
        const std::string microphone = deviceToSelect(kMicrophoneKey, microphones);
        if (!microphone.empty())
            logSelection(kMicrophoneKey, microphone, audio->SetCurRecordingDevice(microphone));
        vector_device_info speakers;
        audio->GetPlaybackDevices(speakers);
        const std::string speaker = deviceToSelect(kSpeakerKey, speakers);
        if (!speaker.empty())
            logSelection(kSpeakerKey, speaker, audio->SetCurPlaybackDevice(speaker));
    }
}

void RoomDevices::applyChangedDevices(const std::map<std::string, std::string>& changed, AgoraAudioDevice* audio,
                                      AgoraVideoDevice* video)
{
    for (const auto& [key, id] : changed) {
        if (key == kCameraKey && video)
            logSelection(kCameraKey, id, video->SetCurDevice(id));
        else if (key == kMicrophoneKey && audio)
            logSelection(kMicrophoneKey, id, audio->SetCurRecordingDevice(id));
        else if (key == kSpeakerKey && audio)
            logSelection(kSpeakerKey, id, audio->SetCurPlaybackDevice(id));
    }
}

QString RoomDevices::notRecommendedNames(int types, const char* context)
{
    QStringList names;
    if (types & NotRecommend_Camera)
        names << QCoreApplication::translate(context, "camera");
    if (types & NotRecommend_Microphone)
        names << QCoreApplication::translate(context, "microphone");
    if (types & NotRecommend_Speaker)
        names << QCoreApplication::translate(context, "speaker");
    return names.join(QLatin1Char(','));
}
