#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

#include <ucontext.h>

namespace Platform {

void writeCrashRegisters(SignalSafeWriter& out, const void* userContext)
{
    if (!userContext) {
        out.text("  (no register context)\n");
        return;
    }
    const auto* context = static_cast<const ucontext_t*>(userContext);
    for (int i = 0; i < 31; ++i)
        out.text("  x").decimal(i).text(" ").hex(context->uc_mcontext.regs[i], 16).newline();
    out.text("  sp ").hex(context->uc_mcontext.sp, 16).newline();
    out.text("  pc ").hex(context->uc_mcontext.pc, 16).newline();
    out.text("  pstate ").hex(context->uc_mcontext.pstate, 16).newline();
    out.text("  fault_address ").hex(context->uc_mcontext.fault_address, 16).newline();
}

} // namespace Platform
