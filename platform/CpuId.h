#pragma once

#include "platform/SystemInfo.h"

namespace Platform {

// Vendor and brand from the processor's identification instructions, and its frequency from the time-stamp
// counter over 50 ms. False, with out untouched, on processors without them.
bool processorIdentity(CpuIdentity& out);

} // namespace Platform
