#include "platform/CpuId.h"

namespace Platform {

bool processorIdentity(CpuIdentity&)
{
    return false; // no identification instructions here: the system's processor list answers instead
}

} // namespace Platform
