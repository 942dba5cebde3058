#include "live/rtc/sim/SimEngineSetup.h"

#include "live/rtc/engine/IRtcEngine.h"
#include "live/rtc/sim/SimRealDevices.h"
#include "live/rtc/sim/SimRtcEngine.h"

#include <QDebug>

#include <mutex>
#include <optional>

namespace {

struct Setup
{
    std::mutex mutex;
    std::optional<SimScenario> scenario;
    bool realDevices = false;
};

Setup& setup()
{
    static Setup instance;
    return instance;
}

SimScenario scenarioFromEnvironment()
{
    const QString path = qEnvironmentVariable("ZM_RTC_SCENARIO");
    SimScenario scenario = SimScenario::defaults();
    if (path.isEmpty())
        return scenario;
    QString error;
    if (!SimScenario::fromFile(path, scenario, &error)) {
        qCritical().noquote() << "SimEngineSetup the RTC scenario of ZM_RTC_SCENARIO is not used:" << error;
        return SimScenario::defaults();
    }
    qInfo().noquote() << "SimEngineSetup RTC scenario" << path;
    return scenario;
}

} // namespace

namespace SimEngineSetup {

void setScenario(const SimScenario& scenario)
{
    std::lock_guard<std::mutex> lock(setup().mutex);
    setup().scenario = scenario;
}

bool loadScenarioFile(const QString& path, QString* error)
{
    SimScenario scenario;
    QString message;
    if (!SimScenario::fromFile(path, scenario, &message)) {
        qCritical().noquote() << "SimEngineSetup the RTC scenario is not used:" << message;
        if (error)
            *error = message;
        return false;
    }
    qInfo().noquote() << "SimEngineSetup RTC scenario" << path;
    setScenario(scenario);
    return true;
}

void resetScenario()
{
    std::lock_guard<std::mutex> lock(setup().mutex);
    setup().scenario.reset();
}

SimScenario currentScenario()
{
    std::lock_guard<std::mutex> lock(setup().mutex);
    if (!setup().scenario)
        setup().scenario = scenarioFromEnvironment();
    SimScenario scenario = *setup().scenario;
    if (scenario.tracePath.isEmpty())
        scenario.tracePath = qEnvironmentVariable("ZM_RTC_TRACE");
    return scenario;
}

void setRealDevicesRequested(bool requested)
{
    std::lock_guard<std::mutex> lock(setup().mutex);
    setup().realDevices = requested;
}

bool realDevicesRequested()
{
    std::lock_guard<std::mutex> lock(setup().mutex);
    return setup().realDevices;
}

} // namespace SimEngineSetup

agora::rtc::IRtcEngine* createAgoraRtcEngine()
{
    const SimScenario scenario = SimEngineSetup::currentScenario();
    const bool real =
        scenario.deviceSource == SimScenario::DeviceSource::Real ||
        (scenario.deviceSource == SimScenario::DeviceSource::Unset && SimEngineSetup::realDevicesRequested());
    return new SimRtcEngine(scenario, real ? SimRealDevices::shared() : nullptr);
}

const char* getAgoraRtcEngineVersion(int* build)
{
    if (build)
        *build = 1;
    return "sim-1.0";
}
