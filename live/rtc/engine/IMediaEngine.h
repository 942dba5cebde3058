#pragma once

#include <cstdint>

namespace agora {
namespace media {

// Receives every raw video frame of an engine on the engine's video thread: the local camera's frames
// (onCaptureVideoFrame) and each remote user's decoded frames (onRenderVideoFrame). The frame and its planes are
// valid only during the call.
class IVideoFrameObserver
{
public:
    enum VIDEO_FRAME_TYPE
    {
        FRAME_TYPE_YUV420 = 0, // I420: a Y plane, then U and V planes of ((width + 1) / 2) x ((height + 1) / 2)
    };

    struct VideoFrame
    {
        VIDEO_FRAME_TYPE type = FRAME_TYPE_YUV420;
        int width = 0;
        int height = 0;
        int yStride = 0; // bytes per row as stored; at least the plane's width
        int uStride = 0;
        int vStride = 0;
        void* yBuffer = nullptr;
        void* uBuffer = nullptr;
        void* vBuffer = nullptr;
        int rotation = 0; // degrees: 0, 90, 180 or 270
        int64_t renderTimeMs = 0;
    };

    // The return values tell the engine whether the frame was taken; the engine does not act on them.
    virtual bool onCaptureVideoFrame(VideoFrame& videoFrame) = 0;
    virtual bool onRenderVideoFrame(unsigned int uid, VideoFrame& videoFrame) = 0;

protected:
    virtual ~IVideoFrameObserver() = default;
};

// The raw-media side of an engine (IRtcEngine::queryInterface with AGORA_IID_MEDIA_ENGINE).
class IMediaEngine
{
public:
    virtual void release() = 0;

    // One observer at a time; null detaches it. Registering null (or another observer) returns only after every
    // running frame callback into the previous observer has returned, so the caller may then delete it; from
    // inside a frame callback it does not wait.
    virtual int registerVideoFrameObserver(IVideoFrameObserver* observer) = 0;

protected:
    virtual ~IMediaEngine() = default;
};

} // namespace media
} // namespace agora
