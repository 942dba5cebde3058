#include "app/tasks/QRunContextManager.h"

#include "app/tasks/RuntimeEnvironmentManager_Imp.h"

#include <atomic>
#include <mutex>

namespace {
std::atomic<QRunContextManager*> s_instance{nullptr};
std::mutex s_instanceMutex;
} // namespace

QRunContextManager* QRunContextManager::instance()
{
    QRunContextManager* manager = s_instance.load(std::memory_order_acquire);
    if (manager)
        return manager;
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    manager = s_instance.load(std::memory_order_relaxed);
    if (!manager) {
        manager = new RuntimeEnvironmentManager_Imp;
        s_instance.store(manager, std::memory_order_release);
    }
    return manager;
}
