#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Points the program's RTC engine at what the command line and the settings ask for:
// - "--rtc_scenario=<file>": the simulated engine's scenario (otherwise the file of ZM_RTC_SCENARIO, if any);
// - "--rtc_devices=real" or "--rtc_devices=simulated": the machine's devices or simulated ones; without the option,
//   the user setting "Agora/RealDevices" (1 for real devices) decides. A scenario that names its device source wins.
// options is the command line's option table (keys in lower case with their "--").
void configureRtcEngine(const QHash<QString, QString>& options);

// The options configureRtcEngine reads.
QStringList rtcEngineOptionNames();
