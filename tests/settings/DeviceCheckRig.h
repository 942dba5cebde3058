#pragma once

#include "settings/CheckSystemDlg.h"

#include "FakePing.h"
#include "Simulator.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

// The device-check wizard over a host window, with the services it measures on the machine: the simulator (API,
// download-test file, taken in a fixed time), a fake ping (every host answers in 20 ms unless told otherwise) and a
// fixed processor load.
class DeviceCheckRig
{
public:
    DeviceCheckRig();
    ~DeviceCheckRig();

    // Starts the simulator and points the URL configuration at it; the pinged pages and the websocket get host
    // names of their own ("main.test", "board.test", "ws.test"), the API stays at the simulator (127.0.0.1).
    bool start();

    // A new wizard over the host, shown; its results are collected in results.
    CheckSystemDlg* open(bool canClose = true);

    template <typename T> T* child(const char* name) const
    {
        return wizard ? wizard->findChild<T*>(QLatin1String(name)) : nullptr;
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QLabel* label(const char* name) const { return child<QLabel>(name); }
    void click(const char* name) const;

    // From the page on show (Start first on the welcome page) through the pages to the one given (22, 23, 24, 21
    // or 25), each device seen and heard.
    bool walkTo(int page);
    // Waits for the device list of the page on show.
    bool waitForDevices();
    // Gives the processor's eight samples and waits for every measurement.
    bool finishMeasuring();

    ZmTest::Simulator simulator;
    FakePing ping;
    QWidget host;
    QPointer<CheckSystemDlg> wizard;
    QList<int> results;
};
