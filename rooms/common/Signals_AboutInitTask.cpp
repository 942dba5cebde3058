#include "rooms/common/Signals_AboutInitTask.h"

Signals_AboutInitTask::Signals_AboutInitTask(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<NotRecommendDeviceType>("NotRecommendDeviceType");
}
