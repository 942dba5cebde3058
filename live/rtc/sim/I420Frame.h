#pragma once

#include "live/rtc/engine/IMediaEngine.h"

#include <cstdint>
#include <vector>

// An I420 picture in one buffer: the Y rows, then the U rows, then the V rows, each plane with its own stride.
struct I420Frame
{
    int width = 0;
    int height = 0;
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
    std::vector<std::uint8_t> data;

    int chromaWidth() const { return (width + 1) / 2; }
    int chromaHeight() const { return (height + 1) / 2; }

    // Makes room for width x height with rows of the plane's width rounded up to strideAlign, plus padding bytes
    // (half of it on the chroma planes). Keeps the buffer when nothing changes.
    void allocate(int frameWidth, int frameHeight, int strideAlign = 16, int padding = 0);

    std::uint8_t* y() { return data.data(); }
    std::uint8_t* u() { return data.data() + std::size_t(yStride) * height; }
    std::uint8_t* v() { return u() + std::size_t(uStride) * chromaHeight(); }
    const std::uint8_t* y() const { return data.data(); }
    const std::uint8_t* u() const { return data.data() + std::size_t(yStride) * height; }
    const std::uint8_t* v() const { return u() + std::size_t(uStride) * chromaHeight(); }

    bool isEmpty() const { return width <= 0 || height <= 0 || data.empty(); }

    // The frame as the observer interface passes it (pointing into this buffer).
    agora::media::IVideoFrameObserver::VideoFrame view(std::int64_t renderTimeMs) const;
};
