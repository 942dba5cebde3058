#include "live/rtc/FrameObserverRegistration.h"

#include "live/rtc/engine/IMediaEngine.h"
#include "live/rtc/engine/IRtcEngine.h"

int registerFrameObserver(agora::rtc::IRtcEngine* engine, agora::media::IVideoFrameObserver* observer)
{
    void* media = nullptr;
    if (!engine || engine->queryInterface(agora::rtc::AGORA_IID_MEDIA_ENGINE, &media) != 0 || !media)
        return kNoMediaInterface;
    auto* mediaEngine = static_cast<agora::media::IMediaEngine*>(media);
    const int result = mediaEngine->registerVideoFrameObserver(observer);
    mediaEngine->release();
    return result;
}
