#include "live/rtc/sim/SimTestPattern.h"

#include <algorithm>

// A mid-range chroma pair for a seed, so every user looks different.
void testPatternChroma(unsigned int colourSeed, std::uint8_t& u, std::uint8_t& v)
{
    const unsigned int mixed = colourSeed * 2654435761u;
    u = std::uint8_t(64 + (mixed >> 8) % 128);
    v = std::uint8_t(64 + (mixed >> 16) % 128);
}

void drawTestPattern(I420Frame& frame, unsigned int frameNumber, unsigned int colourSeed)
{
    if (frame.isEmpty())
        return;
    const int width = frame.width;
    const int height = frame.height;
    const unsigned int shift = frameNumber * 4;

    const int square = std::max(4, std::min(width, height) / 4);
    const int travelX = std::max(1, width - square);
    const int travelY = std::max(1, height - square);
    // The square bounces between the edges.
    const int stepX = int((frameNumber * 7) % unsigned(2 * travelX));
    const int stepY = int((frameNumber * 5) % unsigned(2 * travelY));
    const int left = stepX < travelX ? stepX : 2 * travelX - stepX;
    const int top = stepY < travelY ? stepY : 2 * travelY - stepY;

    for (int row = 0; row < height; ++row) {
        std::uint8_t* line = frame.y() + std::size_t(row) * frame.yStride;
        const bool inSquareRows = row >= top && row < top + square;
        for (int column = 0; column < width; ++column) {
            if (inSquareRows && column >= left && column < left + square) {
                line[column] = 235;
                continue;
            }
            const unsigned int band = (unsigned(row + column) + shift) / 16 % 8;
            line[column] = std::uint8_t(40 + band * 24);
        }
    }

    std::uint8_t u = 128;
    std::uint8_t v = 128;
    testPatternChroma(colourSeed, u, v);
    for (int row = 0; row < frame.chromaHeight(); ++row) {
        std::fill_n(frame.u() + std::size_t(row) * frame.uStride, frame.chromaWidth(), u);
        std::fill_n(frame.v() + std::size_t(row) * frame.vStride, frame.chromaWidth(), v);
    }
}
