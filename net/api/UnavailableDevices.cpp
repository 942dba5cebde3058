#include "net/api/UnavailableDevices.h"

#include "app/AppGlobalData.h"
#include "net/api/JsonFields.h"
#include "net/api/ZmNetAPI.h"

#include <QJsonArray>
#include <QJsonObject>

void appendUnavailableDevices(const QJsonValue& data, QStringList& cameras, QStringList& microphones,
                              QStringList& speakers)
{
    const QJsonArray elements = data.toArray();
    for (const QJsonValue& element : elements) {
        const QJsonObject entry = element.toObject();
        QStringList names;
        const QStringList parts = entry.value(QLatin1String("keyword")).toString().split(QLatin1Char(','));
        for (const QString& part : parts) {
            const QString name = part.toUpper().trimmed();
            if (!name.isEmpty())
                names.append(name);
        }
        if (names.isEmpty())
            continue;
        switch (jsonInt(entry.value(QLatin1String("type")))) {
        case UnavailableDevice_Microphone:
            microphones.append(names);
            break;
        case UnavailableDevice_Speaker:
            speakers.append(names);
            break;
        case UnavailableDevice_Camera:
            cameras.append(names);
            break;
        default:
            break;
        }
    }
}

UnavailableDeviceCache::UnavailableDeviceCache(Fetch fetch)
    : m_fetch(std::move(fetch))
{
}

const QStringList& UnavailableDeviceCache::list(int type)
{
    if (!m_done && m_fetch) {
        m_done = m_fetch(m_lists[UnavailableDevice_Camera], m_lists[UnavailableDevice_Microphone],
                         m_lists[UnavailableDevice_Speaker]) == 0;
    }
    if (type < UnavailableDevice_Microphone || type > UnavailableDevice_Camera)
        return m_none;
    return m_lists[type];
}

const QStringList& getUnavailableDevicesCached(int type)
{
    static UnavailableDeviceCache cache([](QStringList& cameras, QStringList& microphones, QStringList& speakers) {
        const LessonContext lesson = AppGlobalData::instance()->lessonContext();
        return ZmNetAPI::instance()->getUnavailableDevices(QString::number(lesson.userIdAsInt()), lesson.token(),
                                                           cameras, microphones, speakers);
    });
    return cache.list(type);
}
