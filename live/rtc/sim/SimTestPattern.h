#pragma once

#include "live/rtc/sim/I420Frame.h"

// Draws a moving test picture into frame (its size and strides stay): diagonal bands that scroll with
// frameNumber, tinted by the colour seed (a user id gives each user a colour of its own), and a bright square that
// crosses the picture. Padding bytes at the row ends are left as they are.
void drawTestPattern(I420Frame& frame, unsigned int frameNumber, unsigned int colourSeed);
