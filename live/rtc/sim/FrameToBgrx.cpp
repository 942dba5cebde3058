#include "live/rtc/sim/FrameToBgrx.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::uint8_t clamped(int value)
{
    return std::uint8_t(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// Studio-range BT.601 to RGB, in 8.8 fixed point.
void yuvToRgb(int y, int u, int v, std::uint8_t& r, std::uint8_t& g, std::uint8_t& b)
{
    const int c = (y - 16) * 298;
    const int d = u - 128;
    const int e = v - 128;
    r = clamped((c + 409 * e + 128) >> 8);
    g = clamped((c - 100 * d - 208 * e + 128) >> 8);
    b = clamped((c + 516 * d + 128) >> 8);
}

} // namespace

void scaleI420ToBgrx(const I420Frame& frame, int dstWidth, int dstHeight, int renderMode, bool mirror, bool redFirst,
                     std::uint8_t* dst, int dstStride)
{
    if (dstWidth <= 0 || dstHeight <= 0)
        return;
    for (int row = 0; row < dstHeight; ++row)
        std::memset(dst + std::size_t(row) * dstStride, 0, std::size_t(dstWidth) * 4);
    if (frame.isEmpty())
        return;

    // The part of the target the picture covers, and the part of the frame it shows.
    const bool fit = renderMode == 2;
    const double scale = fit ? std::min(double(dstWidth) / frame.width, double(dstHeight) / frame.height)
                             : std::max(double(dstWidth) / frame.width, double(dstHeight) / frame.height);
    const int shownWidth = std::min(dstWidth, std::max(1, int(frame.width * scale + 0.5)));
    const int shownHeight = std::min(dstHeight, std::max(1, int(frame.height * scale + 0.5)));
    const int dstLeft = (dstWidth - shownWidth) / 2;
    const int dstTop = (dstHeight - shownHeight) / 2;
    const double srcLeft = (frame.width - shownWidth / scale) / 2;
    const double srcTop = (frame.height - shownHeight / scale) / 2;

    std::vector<int> sourceColumns(static_cast<std::size_t>(shownWidth));
    for (int column = 0; column < shownWidth; ++column) {
        const int shown = mirror ? shownWidth - 1 - column : column;
        sourceColumns[std::size_t(column)] = std::clamp(int(srcLeft + (shown + 0.5) / scale), 0, frame.width - 1);
    }

    for (int row = 0; row < shownHeight; ++row) {
        const int sourceRow = std::clamp(int(srcTop + (row + 0.5) / scale), 0, frame.height - 1);
        const std::uint8_t* yRow = frame.y() + std::size_t(sourceRow) * frame.yStride;
        const std::uint8_t* uRow = frame.u() + std::size_t(sourceRow / 2) * frame.uStride;
        const std::uint8_t* vRow = frame.v() + std::size_t(sourceRow / 2) * frame.vStride;
        std::uint8_t* out = dst + std::size_t(dstTop + row) * dstStride + std::size_t(dstLeft) * 4;
        for (int column = 0; column < shownWidth; ++column) {
            const int source = sourceColumns[std::size_t(column)];
            std::uint8_t r = 0;
            std::uint8_t g = 0;
            std::uint8_t b = 0;
            yuvToRgb(yRow[source], uRow[source / 2], vRow[source / 2], r, g, b);
            out[0] = redFirst ? r : b;
            out[1] = g;
            out[2] = redFirst ? b : r;
            out[3] = 0;
            out += 4;
        }
    }
}
