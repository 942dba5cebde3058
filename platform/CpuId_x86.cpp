#include "platform/CpuId.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <cpuid.h>
#include <x86intrin.h>

namespace Platform {

namespace {

QString registersText(const unsigned int* registers, int count)
{
    char text[49] = {};
    std::memcpy(text, registers, sizeof(unsigned int) * count);
    return QString::fromLatin1(text).trimmed();
}

// Time-stamp counter ticks per microsecond over about 50 ms, divided by the time that really passed.
qint64 measureMhz()
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    const unsigned long long ticksStart = __rdtsc();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const unsigned long long ticksEnd = __rdtsc();
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    if (micros <= 0 || ticksEnd <= ticksStart)
        return 0;
    return qint64((ticksEnd - ticksStart) / static_cast<unsigned long long>(micros));
}

} // namespace

bool processorIdentity(CpuIdentity& out)
{
    unsigned int a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0, &a, &b, &c, &d))
        return false;
    const unsigned int vendor[3] = {b, d, c};
    out.vendor = registersText(vendor, 3);

    out.brand.clear();
    if (__get_cpuid(0x80000000, &a, &b, &c, &d) && a >= 0x80000004) {
        unsigned int brand[12] = {};
        for (unsigned int leaf = 0; leaf < 3; ++leaf)
            __get_cpuid(0x80000002 + leaf, &brand[leaf * 4], &brand[leaf * 4 + 1], &brand[leaf * 4 + 2],
                        &brand[leaf * 4 + 3]);
        out.brand = registersText(brand, 12);
    }
    out.mhz = measureMhz();
    return true;
}

} // namespace Platform
