#include "live/rtc/RtcEngineSetup.h"

#include "app/ConfigManager.h"
#include "live/rtc/sim/SimEngineSetup.h"

#include <QDebug>

namespace {

constexpr char kScenarioOption[] = "--rtc_scenario";
constexpr char kDevicesOption[] = "--rtc_devices";

} // namespace

void configureRtcEngine(const QHash<QString, QString>& options)
{
    const QString scenario = options.value(QLatin1String(kScenarioOption));
    if (!scenario.isEmpty())
        SimEngineSetup::loadScenarioFile(scenario);

    bool realDevices = false;
    const QString devices = options.value(QLatin1String(kDevicesOption)).toLower();
    if (devices == QLatin1String("real")) {
        realDevices = true;
    } else if (devices.isEmpty() || devices == QLatin1String("simulated")) {
        int setting = 0;
        realDevices = devices.isEmpty() && ConfigManager::instance()->ini_GetParam_Int("Agora/RealDevices", setting) &&
                      setting == 1;
    } else {
        qWarning().noquote() << "configureRtcEngine unknown --rtc_devices value:" << devices;
    }
    SimEngineSetup::setRealDevicesRequested(realDevices);
    qInfo() << "configureRtcEngine real devices:" << realDevices;
}

QStringList rtcEngineOptionNames()
{
    return {QLatin1String(kScenarioOption), QLatin1String(kDevicesOption)};
}
