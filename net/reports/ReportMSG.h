#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class CZmPost;

// One report about the machine and the class room, sent as compact JSON in one POST to the report address of
// the URL configuration. Build it with create(), add room entries and an event, then send(); the report and its
// poster release themselves after that.
class ReportMSG : public QObject
{
    Q_OBJECT

public:
    // The event types of a room entry's "eventType".
    enum EventType
    {
        Event_EnterRoom = 1, // "eduEnterRoom"
        Event_InRoom = 2,    // "eduInRoom"
    };

    explicit ReportMSG(QObject* parent = nullptr);
    ~ReportMSG() override;

    // A new report whose record holds the machine's facts ("sdkVersion" to "deviceId").
    static ReportMSG* create();

    // Starts the record with the machine's facts (replacing any record there was).
    void createRecord();

    // Appends {"time", "roomId", "roomType", "userId", "userRole"} to the record's "array" (no-op without a record).
    void addRoomEntry(int roomId, const QString& roomType, int userId, const QString& userRole);

    // Fills the last room entry with the enter-room event: "eventType", "step", "errCode" and "data" holding the
    // API tags that are given. False when there is no room entry.
    bool addEvent(const QString& step, const QString& errCode, std::optional<int> apiFuncTag = std::nullopt,
                  std::optional<int> apiRetTag = std::nullopt);

    // Posts the record (when there is one) to UrlConfig's report address, then schedules the report's release.
    // Always 0.
    int send();
    // The same to another address.
    int sendTo(const QString& address);

    bool hasRecord() const { return m_record != nullptr; }
    // The poster until send() starts it (after that it belongs to itself); null then.
    CZmPost* poster() const { return m_poster; }
    QJsonObject record() const { return m_record ? *m_record : QJsonObject(); }

    static QString eventTypeName(int type);

private:
    std::unique_ptr<QJsonObject> m_record;
    CZmPost* m_poster = nullptr; // ours until it is started
};
