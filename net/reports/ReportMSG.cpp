#include "net/reports/ReportMSG.h"

#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "net/http/CZmPost.h"
#include "net/reports/ReportUtil.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>
#include <QtDebug>

namespace {

// The RTC engine library has no version resource on this system; getFileVersion() answers empty for it.
const char kEngineLibrary[] = "librtc_engine.so";

QString systemBitness()
{
    return QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? QStringLiteral(" 64bit")
                                                                            : QStringLiteral(" 32bit");
}

} // namespace

ReportMSG::ReportMSG(QObject* parent)
    : QObject(parent)
    , m_poster(new CZmPost)
{
}

ReportMSG::~ReportMSG()
{
    delete m_poster; // only a poster that never started is still ours
}

ReportMSG* ReportMSG::create()
{
    auto* report = new ReportMSG;
    report->createRecord();
    return report;
}

void ReportMSG::createRecord()
{
    QJsonObject record;
    record.insert(QStringLiteral("sdkVersion"), QStringLiteral("1"));
    record.insert(QStringLiteral("seq"), QString());
    record.insert(QStringLiteral("appName"), QStringLiteral("ZmQuillo"));
    record.insert(QStringLiteral("appVersion"), getExeFileVersion(4));
    record.insert(QStringLiteral("engineVersion"), getFileVersion(getModulePathPart(0) + kEngineLibrary, 4));
    record.insert(QStringLiteral("systemName"), QStringLiteral("Linux"));
    record.insert(QStringLiteral("systemVersion"), getOsFullName() + systemBitness());
    record.insert(QStringLiteral("model"), ReportUtil::processorDescription());
    record.insert(QStringLiteral("deviceId"), ReportUtil::deviceId());
    m_record = std::make_unique<QJsonObject>(record);
}

void ReportMSG::addRoomEntry(int roomId, const QString& roomType, int userId, const QString& userRole)
{
    if (!m_record)
        return;
    QJsonObject entry;
    entry.insert(QStringLiteral("time"), QString::number(QDateTime::currentMSecsSinceEpoch()));
    entry.insert(QStringLiteral("roomId"), roomId);
    entry.insert(QStringLiteral("roomType"), roomType);
    entry.insert(QStringLiteral("userId"), userId);
    entry.insert(QStringLiteral("userRole"), userRole);
    QJsonArray entries = m_record->value(QStringLiteral("array")).toArray();
    entries.append(entry);
    m_record->insert(QStringLiteral("array"), entries);
}

QString ReportMSG::eventTypeName(int type)
{
    switch (type) {
    case Event_EnterRoom:
        return QStringLiteral("eduEnterRoom");
    case Event_InRoom:
        return QStringLiteral("eduInRoom");
    default:
        return QString();
    }
}

bool ReportMSG::addEvent(const QString& step, const QString& errCode, std::optional<int> apiFuncTag,
                         std::optional<int> apiRetTag)
{
    if (!m_record)
        return false;
    QJsonArray entries = m_record->value(QStringLiteral("array")).toArray();
    if (entries.isEmpty())
        return false;
    QJsonObject entry = entries.last().toObject();
    entry.insert(QStringLiteral("eventType"), eventTypeName(Event_EnterRoom));
    entry.insert(QStringLiteral("step"), step);
    entry.insert(QStringLiteral("errCode"), errCode);
    QJsonObject data;
    if (apiFuncTag)
        data.insert(QStringLiteral("errApiFuncTag"), *apiFuncTag);
    if (apiRetTag)
        data.insert(QStringLiteral("errApiRetTag"), *apiRetTag);
    entry.insert(QStringLiteral("data"), data);
    entries.replace(entries.size() - 1, entry);
    m_record->insert(QStringLiteral("array"), entries);
    return true;
}

int ReportMSG::send()
{
    return sendTo(UrlConfig::instance()->apmReport);
}

int ReportMSG::sendTo(const QString& address)
{
    if (m_record && m_poster) {
        const QByteArray text = QJsonDocument(*m_record).toJson(QJsonDocument::Compact);
        qDebug().noquote() << "ReportMSG::send" << QString::fromUtf8(text);
        CZmPost* poster = m_poster;
        m_poster = nullptr; // it releases itself after the transfer
        poster->post(address.toUtf8(), text);
    }
    deleteLater();
    return 0;
}
