#pragma once

#include "live/rtc/sim/I420Frame.h"

#include <cstdint>

// Converts an I420 frame to 32-bit pixels of a target area, scaled with the nearest source pixel.
// renderMode 1 (hidden) fills the area and crops the frame's overflow, 2 (fit) shows the whole frame with black
// bars; mirror flips it left to right. Pixels are written as bytes B, G, R, 0 (or R, G, B, 0 with redFirst),
// dstStride bytes per row.
void scaleI420ToBgrx(const I420Frame& frame, int dstWidth, int dstHeight, int renderMode, bool mirror, bool redFirst,
                     std::uint8_t* dst, int dstStride);
