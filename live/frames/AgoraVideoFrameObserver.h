#pragma once

#include "live/rtc/engine/IMediaEngine.h"

#include <mutex>

class WebVideoViewHelper;

// Hands the engine's raw frames to the page video views: the local camera's frames under the own user id, each
// remote user's under theirs. Called on the engine's video threads; frames of one kind pass one at a time.
class AgoraVideoFrameObserver : public agora::media::IVideoFrameObserver
{
public:
    // helper may be null: frames are then dropped. The own user id is taken from the application data here, on
    // the constructing thread (-1, as unsigned, while it is empty), because the video threads may not read it.
    explicit AgoraVideoFrameObserver(WebVideoViewHelper* helper);
    ~AgoraVideoFrameObserver() override = default;

    AgoraVideoFrameObserver(const AgoraVideoFrameObserver&) = delete;
    AgoraVideoFrameObserver& operator=(const AgoraVideoFrameObserver&) = delete;

    // Both return true: the engine does not act on the result.
    bool onCaptureVideoFrame(VideoFrame& videoFrame) override;
    bool onRenderVideoFrame(unsigned int uid, VideoFrame& videoFrame) override;

    unsigned int ownUid() const { return m_ownUid; }

private:
    WebVideoViewHelper* const m_helper;
    const unsigned int m_ownUid;
    std::mutex m_captureMutex;
    std::mutex m_renderMutex;
};
