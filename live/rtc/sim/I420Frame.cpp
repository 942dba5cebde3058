#include "live/rtc/sim/I420Frame.h"

namespace {

int roundedUp(int value, int align)
{
    return align > 1 ? (value + align - 1) / align * align : value;
}

} // namespace

void I420Frame::allocate(int frameWidth, int frameHeight, int strideAlign, int padding)
{
    const int newYStride = roundedUp(frameWidth, strideAlign) + padding;
    const int newUStride = roundedUp((frameWidth + 1) / 2, strideAlign) + padding / 2;
    if (frameWidth == width && frameHeight == height && newYStride == yStride && newUStride == uStride)
        return;
    width = frameWidth;
    height = frameHeight;
    yStride = newYStride;
    uStride = newUStride;
    vStride = newUStride;
    data.assign(std::size_t(yStride) * height + 2 * std::size_t(uStride) * chromaHeight(), 0);
}

agora::media::IVideoFrameObserver::VideoFrame I420Frame::view(std::int64_t renderTimeMs) const
{
    agora::media::IVideoFrameObserver::VideoFrame frame;
    frame.type = agora::media::IVideoFrameObserver::FRAME_TYPE_YUV420;
    frame.width = width;
    frame.height = height;
    frame.yStride = yStride;
    frame.uStride = uStride;
    frame.vStride = vStride;
    // The observer gets writable pointers, as the interface has them; the frame is regenerated every time.
    frame.yBuffer = const_cast<std::uint8_t*>(y());
    frame.uBuffer = const_cast<std::uint8_t*>(u());
    frame.vBuffer = const_cast<std::uint8_t*>(v());
    frame.renderTimeMs = renderTimeMs;
    return frame;
}
