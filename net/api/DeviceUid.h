#pragma once

#include <QString>
#include <QVector>

// What the device id looks at in one network interface.
struct NetworkInterfaceFacts
{
    bool up = false;
    bool running = false;
    bool loopBack = false;
    QString hardwareAddress; // "AA:BB:CC:DD:EE:FF", or empty
};

// The first interface that is up, running, not loop-back and has a hardware address gives its address with
// every ":" written as "-"; empty when none qualifies.
QString deviceUidFrom(const QVector<NetworkInterfaceFacts>& interfaces);

// The facts of the system's interfaces, in the order the system lists them.
QVector<NetworkInterfaceFacts> systemNetworkInterfaces();
