#pragma once

#include <functional>

class CpuOverloadCounter;
class MyTitleBar;

// The processor load a class room samples every five seconds: the whole system's, in percent (0 or less when it
// cannot be measured). Tests put a source of their own in place. GUI thread.
namespace RoomCpuLoad {

using Source = std::function<int()>;

// A sample from the source in use.
int sample();

// Replaces the source; an empty one puts the system's back.
void setSource(Source source);

// A room's sample every five seconds: logged ("Win_CpuUsage:<load>% (<count>)"), shown in the title bar (its label
// from the first measured load on) and counted. True when the overload notice is due; the room opens it.
bool sampleForRoom(CpuOverloadCounter& counter, MyTitleBar* titleBar);

} // namespace RoomCpuLoad

// Counts a room's overloaded samples in a row: the eighth in a row at 70 % or more asks for the one notice, after
// which the counter stops for good.
class CpuOverloadCounter
{
public:
    static constexpr int kOverloadPercent = 70;
    static constexpr int kSamplesInARow = 8;

    // Adds one sample; true exactly once, when the notice is due.
    bool addSample(int usage);
    // Overloaded samples in a row so far; -1 once the notice was due.
    int count() const { return m_count; }

private:
    int m_count = 0;
};
