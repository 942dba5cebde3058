#pragma once

#include "live/rtc/engine/IMediaEngine.h"

#include <atomic>
#include <functional>
#include <mutex>

// The media engine of a simulated engine: holds the one video frame observer and hands it the frames of the
// video thread. Owned by the engine; release() only gives the interface back.
class SimMediaEngine final : public agora::media::IMediaEngine
{
public:
    using Trace = std::function<void(const char* call, agora::media::IVideoFrameObserver* observer)>;

    // isVideoThread tells whether the caller is the thread that delivers frames; trace records the calls.
    SimMediaEngine(std::function<bool()> isVideoThread, Trace trace);

    void release() override;
    int registerVideoFrameObserver(agora::media::IVideoFrameObserver* observer) override;

    bool hasObserver() const { return m_observer.load() != nullptr; }

    // Hand a frame to the observer, if any (video thread).
    void deliverCapture(agora::media::IVideoFrameObserver::VideoFrame& frame);
    void deliverRender(unsigned int uid, agora::media::IVideoFrameObserver::VideoFrame& frame);

private:
    std::function<bool()> m_isVideoThread;
    Trace m_trace;
    // Held while a frame callback runs, so that registering waits for it.
    std::mutex m_delivery;
    std::atomic<agora::media::IVideoFrameObserver*> m_observer{nullptr};
};
