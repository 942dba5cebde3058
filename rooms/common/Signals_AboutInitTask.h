#pragma once

#include "app/records/InitTaskParams.h"

#include <QObject>

// Carries a room's notice that selected devices are on the not-recommended list: after a class-entry run, and
// after the settings dialog was accepted.
class Signals_AboutInitTask : public QObject
{
    Q_OBJECT

public:
    // Registers NotRecommendDeviceType by name for queued connections.
    explicit Signals_AboutInitTask(QObject* parent = nullptr);

signals:
    // NotRecommendDeviceType bits: 1 camera, 2 microphone, 4 speaker.
    void sig_selectedDeviceIsNotRecommend(NotRecommendDeviceType deviceTypes);
};
