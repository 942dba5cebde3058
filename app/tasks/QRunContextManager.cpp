#include "app/tasks/QRunContextManager.h"

#include "app/tasks/RuntimeEnvironmentManager_Imp.h"

QRunContextManager* QRunContextManager::instance()
{
    static QRunContextManager* const manager = new RuntimeEnvironmentManager_Imp;
    return manager;
}
