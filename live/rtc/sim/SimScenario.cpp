#include "live/rtc/sim/SimScenario.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

namespace {

constexpr int kMaxDelayMs = 24 * 3600 * 1000;
constexpr int kMaxListEntries = 10000;

// Notes the first error of a reading.
void noteError(QString* error, const QString& text)
{
    if (error && error->isEmpty())
        *error = text;
}

// Reads members of one JSON object, remembering the first type error with its path.
class Reader
{
public:
    Reader(const QJsonObject& object, QString path, QString* error)
        : m_object(object)
        , m_path(std::move(path))
        , m_error(error)
    {
    }

    bool has(const char* key) const { return m_object.contains(QLatin1String(key)); }
    QString pathOf(const char* key) const { return m_path.isEmpty() ? QString::fromLatin1(key) : m_path + '.' + key; }

    bool fail(const char* key, const char* expected) const
    {
        noteError(m_error, QStringLiteral("%1: %2 expected").arg(pathOf(key), QLatin1String(expected)));
        return false;
    }

    // Each reader leaves value alone when the member is absent; false only for a member of the wrong type.
    bool integer(const char* key, int& value, double low, double high) const
    {
        return member(key, &QJsonValue::isDouble, "a number",
                      [&](const QJsonValue& json) { value = clamped(json.toDouble(), low, high); });
    }

    bool uid(const char* key, unsigned int& value) const
    {
        return member(key, &QJsonValue::isDouble, "a number", [&](const QJsonValue& json) {
            const double number = std::floor(json.toDouble());
            value = number <= 0 ? 0u
                                : (number >= double(std::numeric_limits<unsigned int>::max())
                                       ? std::numeric_limits<unsigned int>::max()
                                       : unsigned(number));
        });
    }

    bool boolean(const char* key, bool& value) const
    {
        return member(key, &QJsonValue::isBool, "true or false",
                      [&](const QJsonValue& json) { value = json.toBool(); });
    }

    bool text(const char* key, std::string& value) const
    {
        return member(key, &QJsonValue::isString, "a text",
                      [&](const QJsonValue& json) { value = json.toString().toStdString(); });
    }

    bool text(const char* key, QString& value) const
    {
        return member(key, &QJsonValue::isString, "a text", [&](const QJsonValue& json) { value = json.toString(); });
    }

    // An object member: false when present and no object; absent gives an empty object.
    bool object(const char* key, QJsonObject& value) const
    {
        return member(key, &QJsonValue::isObject, "an object",
                      [&](const QJsonValue& json) { value = json.toObject(); });
    }

    bool array(const char* key, QJsonArray& value) const
    {
        if (!member(key, &QJsonValue::isArray, "a list", [&](const QJsonValue& json) { value = json.toArray(); }))
            return false;
        if (value.size() > kMaxListEntries)
            return fail(key, "at most 10000 entries");
        return true;
    }

    // Each object of the list under key, with a reader of its own, in order: false at the first entry that is no
    // object or that visit refuses. An absent list visits nothing.
    template <typename Visit> bool objects(const char* key, Visit visit) const
    {
        QJsonArray list;
        if (!array(key, list))
            return false;
        for (int i = 0; i < list.size(); ++i) {
            const QString path = QStringLiteral("%1[%2]").arg(pathOf(key)).arg(i);
            if (!list.at(i).isObject()) {
                noteError(m_error, path + QStringLiteral(": an object expected"));
                return false;
            }
            if (!visit(Reader(list.at(i).toObject(), path, m_error)))
                return false;
        }
        return true;
    }

    const QJsonObject& json() const { return m_object; }
    const QString& path() const { return m_path; }

    static int clamped(double number, double low, double high)
    {
        if (!(number >= low))
            return int(low);
        if (number > high)
            return int(high);
        return int(number);
    }

private:
    // Hands a present member of the expected type to store; false (the error noted) for one of another type.
    template <typename Store>
    bool member(const char* key, bool (QJsonValue::*isExpected)() const, const char* expected, Store store) const
    {
        if (!has(key))
            return true;
        const QJsonValue json = m_object.value(QLatin1String(key));
        if (!(json.*isExpected)())
            return fail(key, expected);
        store(json);
        return true;
    }

    QJsonObject m_object;
    QString m_path;
    QString* m_error;
};

bool readDevices(const Reader& reader, const char* key, std::vector<SimDeviceSpec>& out)
{
    if (!reader.has(key))
        return true;
    out.clear();
    return reader.objects(key, [&out](const Reader& entry) {
        SimDeviceSpec device;
        if (!entry.text("name", device.name) || !entry.text("id", device.id) ||
            !entry.boolean("refuse", device.refuse) || !entry.integer("level", device.level, -1, 255))
            return false;
        out.push_back(device);
        return true;
    });
}

bool readKind(const Reader& reader, const char* key, SimDeviceKind& kind)
{
    std::string name;
    if (!reader.text(key, name))
        return false;
    if (!reader.has(key))
        return true;
    if (name == "camera")
        kind = SimDeviceKind::Camera;
    else if (name == "microphone")
        kind = SimDeviceKind::Microphone;
    else if (name == "speaker")
        kind = SimDeviceKind::Speaker;
    else
        return reader.fail(key, "\"camera\", \"microphone\" or \"speaker\"");
    return true;
}

struct EventName
{
    const char* name;
    SimEvent::Type type;
    bool fromJoin;
};

const EventName kEventNames[] = {
    {"userJoined", SimEvent::UserJoined, true},
    {"userOffline", SimEvent::UserOffline, true},
    {"networkDown", SimEvent::ConnectionInterrupted, true},
    {"connectionLost", SimEvent::ConnectionLost, true},
    {"rejoin", SimEvent::Rejoin, true},
    {"error", SimEvent::Error, true},
    {"warning", SimEvent::Warning, true},
    {"networkQuality", SimEvent::NetworkQuality, true},
    {"lastmileQuality", SimEvent::LastmileQuality, false},
    {"deviceState", SimEvent::DeviceState, false},
    {"plug", SimEvent::Plug, false},
    {"unplug", SimEvent::Unplug, false},
    {"streamMessage", SimEvent::StreamMessage, true},
    {"audioDeviceVolume", SimEvent::AudioDeviceVolume, false},
    {"userVolume", SimEvent::UserVolume, true},
};

bool readEvent(const Reader& entry, SimEvent& event)
{
    std::string type;
    if (!entry.text("type", type))
        return false;
    bool known = false;
    for (const EventName& name : kEventNames) {
        if (type == name.name) {
            event.type = name.type;
            event.fromJoin = name.fromJoin;
            known = true;
        }
    }
    if (!known)
        return entry.fail("type", "a known event type");

    std::string from;
    if (!entry.text("from", from))
        return false;
    if (entry.has("from")) {
        if (from != "join" && from != "init")
            return entry.fail("from", "\"join\" or \"init\"");
        event.fromJoin = from == "join";
    }

    if (entry.has("message") && entry.json().value(QLatin1String("message")).isNull()) {
        event.hasMessage = false;
    } else if (!entry.text("message", event.message)) {
        return false;
    }
    return entry.integer("atMs", event.atMs, 0, kMaxDelayMs) && entry.uid("uid", event.uid) &&
           entry.boolean("video", event.video) && entry.integer("volume", event.volume, -1, 255) &&
           entry.integer("width", event.width, 0, 3840) && entry.integer("height", event.height, 0, 2160) &&
           entry.integer("reason", event.reason, 0, 1000) &&
           entry.integer("code", event.code, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()) &&
           entry.integer("tx", event.tx, 0, 6) && entry.integer("rx", event.rx, 0, 6) &&
           entry.integer("quality", event.quality, 0, 6) && readKind(entry, "kind", event.kind) &&
           entry.text("id", event.deviceId) && entry.text("name", event.deviceName) &&
           entry.integer("state", event.state, 0, 255) && entry.integer("streamId", event.streamId, 0, 1 << 30) &&
           entry.text("data", event.data) && entry.integer("deviceType", event.deviceType, -1, 3) &&
           entry.boolean("muted", event.muted);
}

bool readUsers(const Reader& reader, SimScenario& out)
{
    return reader.objects("users", [&out](const Reader& entry) {
        SimEvent joined;
        joined.type = SimEvent::UserJoined;
        int leaveMs = -1;
        int leaveReason = 0;
        if (!entry.uid("uid", joined.uid) || !entry.integer("joinMs", joined.atMs, 0, kMaxDelayMs) ||
            !entry.integer("leaveMs", leaveMs, -1, kMaxDelayMs) || !entry.boolean("video", joined.video) ||
            !entry.integer("volume", joined.volume, -1, 255) || !entry.integer("width", joined.width, 0, 3840) ||
            !entry.integer("height", joined.height, 0, 2160) || !entry.integer("leaveReason", leaveReason, 0, 1000))
            return false;
        out.events.push_back(joined);
        if (leaveMs >= 0) {
            SimEvent left;
            left.type = SimEvent::UserOffline;
            left.uid = joined.uid;
            left.atMs = leaveMs;
            left.reason = leaveReason;
            out.events.push_back(left);
        }
        return true;
    });
}

bool readEvents(const Reader& reader, SimScenario& out)
{
    return reader.objects("events", [&out](const Reader& entry) {
        SimEvent event;
        if (!readEvent(entry, event))
            return false;
        out.events.push_back(event);
        return true;
    });
}

bool readResults(const Reader& reader, SimScenario& out, QString* error)
{
    QJsonObject results;
    if (!reader.object("results", results))
        return false;
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        const QString path = QStringLiteral("results.%1").arg(it.key());
        if (!it.value().isArray() || it.value().toArray().size() > kMaxListEntries) {
            noteError(error, path + QStringLiteral(": a list of numbers expected"));
            return false;
        }
        std::vector<int> values;
        const QJsonArray list = it.value().toArray();
        for (const QJsonValue& value : list) {
            if (!value.isDouble()) {
                noteError(error, path + QStringLiteral(": a list of numbers expected"));
                return false;
            }
            values.push_back(Reader::clamped(value.toDouble(), -1000000, 1000000));
        }
        if (!values.empty())
            out.results[it.key().toStdString()] = values;
    }
    return true;
}

bool readSections(const Reader& top, SimScenario& out, QString* error)
{
    QJsonObject interfaces;
    QJsonObject join;
    QJsonObject release;
    QJsonObject video;
    QJsonObject stats;
    QJsonObject quality;
    QJsonObject devices;
    if (!top.text("trace", out.tracePath) || !top.object("interfaces", interfaces) || !top.object("join", join) ||
        !top.object("release", release) || !top.object("video", video) || !top.object("stats", stats) ||
        !top.object("networkQuality", quality) || !top.object("devices", devices))
        return false;

    const Reader interfacesReader(interfaces, QStringLiteral("interfaces"), error);
    if (!interfacesReader.boolean("parameter", out.parameterInterface) ||
        !interfacesReader.boolean("mediaEngine", out.mediaEngine) ||
        !interfacesReader.boolean("audioDeviceManager", out.audioDeviceManager) ||
        !interfacesReader.boolean("videoDeviceManager", out.videoDeviceManager))
        return false;

    const Reader joinReader(join, QStringLiteral("join"), error);
    if (!joinReader.integer("successDelayMs", out.joinSuccessDelayMs, 0, kMaxDelayMs) ||
        !joinReader.boolean("succeeds", out.joinSucceeds))
        return false;
    if (!Reader(release, QStringLiteral("release"), error).integer("delayMs", out.releaseDelayMs, 0, kMaxDelayMs))
        return false;

    const Reader videoReader(video, QStringLiteral("video"), error);
    if (!videoReader.integer("fps", out.fps, 1, 60) ||
        !videoReader.integer("captureWidth", out.captureWidth, 2, 3840) ||
        !videoReader.integer("captureHeight", out.captureHeight, 2, 2160) ||
        !videoReader.integer("remoteWidth", out.remoteWidth, 2, 3840) ||
        !videoReader.integer("remoteHeight", out.remoteHeight, 2, 2160) ||
        !videoReader.integer("strideAlign", out.strideAlign, 1, 256) ||
        !videoReader.integer("stridePadding", out.stridePadding, 0, 1024))
        return false;

    const Reader statsReader(stats, QStringLiteral("stats"), error);
    QJsonObject fixed;
    if (!statsReader.integer("intervalMs", out.statsIntervalMs, 100, kMaxDelayMs) ||
        !statsReader.object("fixed", fixed))
        return false;
    for (auto it = fixed.constBegin(); it != fixed.constEnd(); ++it) {
        if (!it.value().isDouble()) {
            noteError(error, QStringLiteral("stats.fixed.%1: a number expected").arg(it.key()));
            return false;
        }
        out.fixedStats[it.key().toStdString()] = Reader::clamped(it.value().toDouble(), 0, 1 << 30);
    }

    const Reader qualityReader(quality, QStringLiteral("networkQuality"), error);
    if (!qualityReader.integer("intervalMs", out.qualityIntervalMs, 100, kMaxDelayMs) ||
        !qualityReader.integer("tx", out.txQuality, 0, 6) || !qualityReader.integer("rx", out.rxQuality, 0, 6))
        return false;

    const Reader devicesReader(devices, QStringLiteral("devices"), error);
    std::string source;
    if (!devicesReader.text("source", source))
        return false;
    if (devicesReader.has("source")) {
        if (source == "real")
            out.deviceSource = SimScenario::DeviceSource::Real;
        else if (source == "simulated")
            out.deviceSource = SimScenario::DeviceSource::Simulated;
        else
            return devicesReader.fail("source", "\"simulated\" or \"real\"");
    }
    return readDevices(devicesReader, "cameras", out.cameras) &&
           readDevices(devicesReader, "microphones", out.microphones) &&
           readDevices(devicesReader, "speakers", out.speakers) &&
           devicesReader.integer("recordingVolume", out.recordingVolume, 0, 255) &&
           devicesReader.integer("playbackVolume", out.playbackVolume, 0, 255);
}

} // namespace

SimScenario SimScenario::defaults()
{
    SimScenario scenario;
    scenario.cameras.push_back({"Simulated Camera", "sim-camera-0", false, -1});
    scenario.microphones.push_back({"Simulated Microphone", "sim-microphone-0", false, -1});
    scenario.speakers.push_back({"Simulated Speaker", "sim-speaker-0", false, -1});
    return scenario;
}

bool SimScenario::fromJson(const QByteArray& json, SimScenario& out, QString* error)
{
    QString message;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error) {
            *error = parseError.error != QJsonParseError::NoError
                         ? QStringLiteral("not JSON: %1 at %2").arg(parseError.errorString()).arg(parseError.offset)
                         : QStringLiteral("not a JSON object");
        }
        return false;
    }

    SimScenario scenario = defaults();
    const Reader top(document.object(), QString(), &message);
    const bool ok = readResults(top, scenario, &message) && readSections(top, scenario, &message) &&
                    readUsers(top, scenario) && readEvents(top, scenario);
    if (!ok) {
        if (error)
            *error = message;
        return false;
    }
    out = std::move(scenario);
    return true;
}

bool SimScenario::fromFile(const QString& path, SimScenario& out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return fromJson(file.readAll(), out, error);
}
