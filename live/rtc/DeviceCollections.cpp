#include "live/rtc/DeviceCollections.h"

#include "app/ConfigManager.h"

#include <QDebug>

namespace DeviceCollections {

namespace {

template <typename Collection> int setGuarded(Collection* collection, const std::string& id)
{
    qInfo("SetCurrentDevice: %s \r\n", id.c_str());
    try {
        return collection->setDevice(IdBuffer(id).text());
    } catch (...) {
        qCritical() << "SetCurrentDevice EXCEPTION_EXECUTE_HANDLER";
        return -1;
    }
}

} // namespace

int setCurrentDevice(agora::rtc::IAudioDeviceCollection* collection, const std::string& id)
{
    return setGuarded(collection, id);
}

int setCurrentDevice(agora::rtc::IVideoDeviceCollection* collection, const std::string& id)
{
    return setGuarded(collection, id);
}

void saveSelectedDevice(const char* key, const QString& id)
{
    ConfigManager::instance()->ini_SetParam_String(key, id.toUtf8());
}

bool logNotRecommended(const char* check, const QString& deviceName, bool matched, const char* matchedWord)
{
    qInfo().noquote() << QStringLiteral("%1: %2 : %3")
                             .arg(QLatin1String(check), deviceName, QLatin1String(matched ? matchedWord : "false"));
    return matched;
}

} // namespace DeviceCollections
