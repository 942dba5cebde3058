#include "live/frames/AgoraVideoFrameObserver.h"

#include "app/AppGlobalData.h"
#include "live/frames/WebVideoViewHelper.h"

AgoraVideoFrameObserver::AgoraVideoFrameObserver(WebVideoViewHelper* helper)
    : m_helper(helper)
    , m_ownUid(static_cast<unsigned int>(AppGlobalData::instance()->userIdAsInt()))
{
}

bool AgoraVideoFrameObserver::onCaptureVideoFrame(VideoFrame& videoFrame)
{
    std::lock_guard<std::mutex> lock(m_captureMutex);
    if (m_helper)
        m_helper->onWebVideoViewRender(m_ownUid, videoFrame);
    return true;
}

bool AgoraVideoFrameObserver::onRenderVideoFrame(unsigned int uid, VideoFrame& videoFrame)
{
    std::lock_guard<std::mutex> lock(m_renderMutex);
    if (m_helper)
        m_helper->onWebVideoViewRender(uid, videoFrame);
    return true;
}
