#include "rooms/common/CpuOverloadCounter.h"

#include "app/SystemInfo.h"

namespace {

RoomCpuLoad::Source& installedSource()
{
    static RoomCpuLoad::Source source;
    return source;
}

} // namespace

int RoomCpuLoad::sample()
{
    const Source& source = installedSource();
    return source ? source() : getSystemCpuUsage();
}

void RoomCpuLoad::setSource(Source source)
{
    installedSource() = std::move(source);
}

bool CpuOverloadCounter::addSample(int usage)
{
    if (m_count < 0)
        return false;
    m_count = usage < kOverloadPercent ? 0 : m_count + 1;
    if (m_count < kSamplesInARow)
        return false;
    m_count = -1;
    return true;
}
