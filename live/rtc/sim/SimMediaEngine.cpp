#include "live/rtc/sim/SimMediaEngine.h"

SimMediaEngine::SimMediaEngine(std::function<bool()> isVideoThread, Trace trace)
    : m_isVideoThread(std::move(isVideoThread))
    , m_trace(std::move(trace))
{
}

void SimMediaEngine::release()
{
    m_trace("IMediaEngine.release", nullptr);
}

int SimMediaEngine::registerVideoFrameObserver(agora::media::IVideoFrameObserver* observer)
{
    m_trace("registerVideoFrameObserver", observer);
    m_observer.store(observer);
    // A frame callback that is running still uses the previous observer: wait until it has returned. On the video
    // thread itself the caller is that callback, which must not wait for itself.
    if (!m_isVideoThread())
        std::lock_guard<std::mutex> waitForRunningCallback(m_delivery);
    return 0;
}

void SimMediaEngine::deliverCapture(agora::media::IVideoFrameObserver::VideoFrame& frame)
{
    std::lock_guard<std::mutex> lock(m_delivery);
    if (agora::media::IVideoFrameObserver* observer = m_observer.load())
        observer->onCaptureVideoFrame(frame);
}

void SimMediaEngine::deliverRender(unsigned int uid, agora::media::IVideoFrameObserver::VideoFrame& frame)
{
    std::lock_guard<std::mutex> lock(m_delivery);
    if (agora::media::IVideoFrameObserver* observer = m_observer.load())
        observer->onRenderVideoFrame(uid, frame);
}
