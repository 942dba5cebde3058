#include "live/entry/InitTask_AgoraDevices.h"

#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "live/entry/DeviceChoice.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"

#include <QDebug>

namespace {

// What one device step works with, once its manager is in place.
struct DeviceStep
{
    const char* name;
    const char* storedIdKey;
    int notRecommendedBit;
    bool (*isNotRecommended)(const QString& name);
    std::function<int()> count;
    std::function<void(vector_device_info&)> list;
    std::function<int(const std::string& id)> select;
};

// A fresh manager object in the owner's slot (the old one deleted), created on the channel's engine.
template <typename Manager> Manager* replaceManager(Manager** slot, const s_InitTask_Params& params)
{
    if (!slot)
        return nullptr;
    delete *slot;
    *slot = new Manager;
    (*slot)->Create(params.channel_ ? params.channel_->engine() : nullptr);
    return *slot;
}

// The step's body after its manager is in place: 1 done, -1 failed.
int selectDevice(const DeviceStep& step, s_InitTask_Params& params)
{
    if (step.count() < 1) {
        qWarning() << step.name << "- no device";
        return -1;
    }
    QByteArray storedId;
    ConfigManager::instance()->ini_GetParam_String(step.storedIdKey, storedId);
    vector_device_info devices;
    step.list(devices);

    const DeviceChoice choice = chooseDevice(devices, QString::fromUtf8(storedId), step.isNotRecommended);
    for (const QString& name : choice.notRecommendedNames)
        qInfo().noquote() << step.name << "- not recommended:" << name;
    if (!choice.found)
        return -1;
    if (choice.notRecommended)
        params.notRecommendDevices_ |= step.notRecommendedBit;
    const int result = step.select(choice.device.id.toStdString());
    qInfo().noquote() << step.name << "- selected" << choice.device.name << "result" << result;
    return result == 0 ? 1 : -1;
}

} // namespace

InitTask_Agora_CheckCamera::InitTask_Agora_CheckCamera(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(Agora_CheckCamera, params, parent)
{
}

void InitTask_Agora_CheckCamera::runTask()
{
    AgoraVideoDevice* cameras = params() ? replaceManager(params()->videoDevice_, *params()) : nullptr;
    if (!cameras) {
        finishTask(-1);
        return;
    }
    const DeviceStep step{"InitTask_Agora_CheckCamera",
                          kSelectedCameraKey,
                          NotRecommend_Camera,
                          &AgoraVideoDevice::IsNotRecommendWithDeviceName,
                          [cameras] { return cameras->GetDeviceCount(); },
                          [cameras](vector_device_info& devices) { cameras->GetDevices(devices); },
                          [cameras](const std::string& id) { return cameras->SetCurDevice(id); }};
    finishTask(selectDevice(step, *params()));
}

InitTask_Agora_CheckMicphone::InitTask_Agora_CheckMicphone(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(Agora_CheckMicphone, params, parent)
{
}

void InitTask_Agora_CheckMicphone::runTask()
{
    AgoraAudioDevice* audio = params() ? replaceManager(params()->audioDevice_, *params()) : nullptr;
    if (!audio) {
        finishTask(-1);
        return;
    }
    const DeviceStep step{"InitTask_Agora_CheckMicphone",
                          kSelectedMicrophoneKey,
                          NotRecommend_Microphone,
                          &AgoraAudioDevice::IsNotRecommendAudioInWithDeviceName,
                          [audio] { return audio->GetRecordingDeviceCount(); },
                          [audio](vector_device_info& devices) { audio->GetRecordingDevices(devices); },
                          [audio](const std::string& id) { return audio->SetCurRecordingDevice(id); }};
    finishTask(selectDevice(step, *params()));
}

InitTask_Agora_CheckSpeaker::InitTask_Agora_CheckSpeaker(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(Agora_CheckSpeaker, params, parent)
{
}

void InitTask_Agora_CheckSpeaker::runTask()
{
    AgoraAudioDevice* audio = params() ? replaceManager(params()->audioDevice_, *params()) : nullptr;
    if (!audio) {
        finishTask(-1);
        return;
    }
    const DeviceStep step{"InitTask_Agora_CheckSpeaker",
                          kSelectedSpeakerKey,
                          NotRecommend_Speaker,
                          &AgoraAudioDevice::IsNotRecommendAudioOutWithDeviceName,
                          [audio] { return audio->GetPlaybackDeviceCount(); },
                          [audio](vector_device_info& devices) { audio->GetPlaybackDevices(devices); },
                          [audio](const std::string& id) { return audio->SetCurPlaybackDevice(id); }};
    finishTask(selectDevice(step, *params()));
}
