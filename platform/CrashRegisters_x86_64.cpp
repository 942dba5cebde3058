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
    struct Register
    {
        const char* name;
        int index;
    };
    static const Register kRegisters[] = {
        {"rax", REG_RAX}, {"rbx", REG_RBX}, {"rcx", REG_RCX},    {"rdx", REG_RDX}, {"rsi", REG_RSI},
        {"rdi", REG_RDI}, {"rbp", REG_RBP}, {"rsp", REG_RSP},    {"r8", REG_R8},   {"r9", REG_R9},
        {"r10", REG_R10}, {"r11", REG_R11}, {"r12", REG_R12},    {"r13", REG_R13}, {"r14", REG_R14},
        {"r15", REG_R15}, {"rip", REG_RIP}, {"eflags", REG_EFL}, {"err", REG_ERR}, {"trapno", REG_TRAPNO},
        {"cr2", REG_CR2},
    };
    const auto* context = static_cast<const ucontext_t*>(userContext);
    for (const Register& reg : kRegisters) {
        out.text("  ").text(reg.name).text(" ");
        out.hex(static_cast<unsigned long long>(context->uc_mcontext.gregs[reg.index]), 16).newline();
    }
}

} // namespace Platform
