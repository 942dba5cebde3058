#pragma once

#include "live/rtc/sim/SimScenario.h"

#include <QString>

// How the simulated engines of this process are made: the scenario each new engine starts from and whether it
// uses the machine's devices. Without a scenario set here, the file named by the environment variable
// ZM_RTC_SCENARIO is read once (a file that cannot be read is logged and the defaults are used). The trace path of
// a scenario that names none comes from ZM_RTC_TRACE. Thread-safe.
namespace SimEngineSetup {

// The scenario for every engine made from now on.
void setScenario(const SimScenario& scenario);

// Reads the file and makes it the scenario; false (logged, nothing changed) when it cannot be read.
bool loadScenarioFile(const QString& path, QString* error = nullptr);

// Forgets a scenario set before: the next engine starts from ZM_RTC_SCENARIO's file or the defaults again.
void resetScenario();

// The scenario a new engine starts from.
SimScenario currentScenario();

// Real devices for scenarios that leave the device source open (the program's option or setting).
void setRealDevicesRequested(bool requested);
bool realDevicesRequested();

} // namespace SimEngineSetup
