#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

namespace Platform {

void writeCrashRegisters(SignalSafeWriter& out, const void*)
{
    out.text("  (registers are not written on this processor)\n");
}

} // namespace Platform
