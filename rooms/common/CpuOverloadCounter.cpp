#include "rooms/common/CpuOverloadCounter.h"

#include "app/SystemInfo.h"
#include "ui/common/MyTitleBar.h"

#include <QDebug>
#include <QDialog>
#include <QString>

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

bool RoomCpuLoad::sampleForRoom(CpuOverloadCounter& counter, MyTitleBar* titleBar)
{
    const int usage = sample();
    const bool noticeDue = counter.addSample(usage);
    qInfo().noquote() << QStringLiteral("Win_CpuUsage:%1% (%2)").arg(usage).arg(counter.count());
    titleBar->setCpuUsage(usage);
    if (usage > 0)
        titleBar->setCpuUsageVisible(true);
    return noticeDue;
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
