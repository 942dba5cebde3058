#include "live/entry/DeviceChoice.h"

#include <algorithm>
#include <utility>
#include <vector>

DeviceChoice chooseDevice(const vector_device_info& devices, const QString& storedId,
                          const std::function<bool(const QString& name)>& isNotRecommended)
{
    DeviceChoice choice;
    if (devices.empty())
        return choice;
    const int weight = int(devices.size()) + 10;
    std::vector<std::pair<int, const device_info*>> scored;
    scored.reserve(devices.size());
    for (const device_info& device : devices) {
        int score = device.id == storedId ? -weight : 0;
        if (isNotRecommended && isNotRecommended(device.name)) {
            score = weight;
            choice.notRecommendedNames << device.name;
        }
        scored.emplace_back(score, &device);
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& left, const auto& right) { return left.first < right.first; });
    choice.found = true;
    choice.device = *scored.front().second;
    choice.notRecommended = scored.front().first == weight;
    return choice;
}
