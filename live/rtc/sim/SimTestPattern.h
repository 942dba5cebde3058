#pragma once

#include "live/rtc/sim/I420Frame.h"

// Draws a moving test picture into frame (its size and strides stay): diagonal bands that scroll with
// frameNumber, tinted by the colour seed (a user id gives each user a colour of its own), and a bright square that
// crosses the picture. Padding bytes at the row ends are left as they are.
void drawTestPattern(I420Frame& frame, unsigned int frameNumber, unsigned int colourSeed);

// The chroma pair (U, V) that tints the picture of a colour seed: the same in every pixel of every frame, so that a
// user's picture can be told by it wherever it is shown.
void testPatternChroma(unsigned int colourSeed, std::uint8_t& u, std::uint8_t& v);
