#include "live/rtc/sim/SimEngineCore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

using namespace agora::rtc;

namespace {

enum class Expect
{
    Bool,
    Int,
    String,
    Object,
    Any,
};

struct KnownKey
{
    const char* key;
    Expect type;
};

// The keys the simulated engine acts on, with the JSON type each takes; other keys are accepted and kept.
const KnownKey kKnownKeys[] = {
    {"rtc.audio.mute_me", Expect::Bool},
    {"che.audio.mute_me", Expect::Bool},
    {"rtc.video.capture", Expect::Bool},
    {"che.video.local.capture", Expect::Bool},
    {"che.video.local.render", Expect::Bool},
    {"che.video.local.send", Expect::Bool},
    {"che.audio.volume_indication", Expect::Object},
    {"rtc.log_file", Expect::String},
    {"rtc.log_filter", Expect::Int},
    {"che.video.localViewMirrorSetting", Expect::String},
    {"che.audio.start_recording", Expect::Object},
    {"che.audio.stop_recording", Expect::Bool},
    {"che.video.start_screen_capture", Expect::Object},
    {"che.video.stop_screen_capture", Expect::Bool},
    {"che.video.renderer.type", Expect::Int},
    {"che.video.videoCaptureType", Expect::Int},
    {"che.video.monitorClient", Expect::Bool},
    {"rtc.dual_stream_mode", Expect::Bool},
    {"che.video.enableLowBitRateStream", Expect::Int},
    {"rtc.video.prefer_frame_rate", Expect::Bool},
    {"che.video.prefer_frame_rate", Expect::Bool},
    {"rtc.video.web_h264_interop_enable", Expect::Bool},
    {"che.video.web_h264_interop_enable", Expect::Bool},
    {"rtc.video.set_remote_video_stream", Expect::Object},
    {"che.video.setstream", Expect::Object},
};

bool hasType(const QJsonValue& value, Expect type)
{
    switch (type) {
    case Expect::Bool:
        return value.isBool();
    case Expect::Int:
        return value.isDouble() && std::fabs(value.toDouble()) < 2147483648.0 &&
               value.toDouble() == std::floor(value.toDouble());
    case Expect::String:
        return value.isString();
    case Expect::Object:
        return value.isObject();
    case Expect::Any:
        return true;
    }
    return false;
}

} // namespace

int SimEngineCore::setParameter(const char* kind, const char* key, const QJsonValue& value, const QByteArray& text)
{
    QJsonObject args;
    if (key)
        args.insert("key", QString::fromUtf8(key));
    const bool textual = std::string(kind) == "setObject" || std::string(kind) == "setParameters";
    args.insert("value", textual ? QJsonValue(QString::fromUtf8(text)) : value);

    int result = 0;
    if (scriptedResult(kind, key, result) && result < 0) {
        traceCall(kind, args, result);
        return result;
    }

    if (std::string(kind) == "setParameters") {
        // Several keys in one object; all of them must be acceptable.
        const QJsonObject parameters = value.toObject();
        if (!value.isObject() || parameters.isEmpty())
            result = -ERR_INVALID_ARGUMENT;
        for (auto it = parameters.constBegin(); result >= 0 && it != parameters.constEnd(); ++it)
            result = applyKnownParameter(it.key().toStdString(), it.value());
    } else if (!key || !*key || value.isUndefined()) {
        result = -ERR_INVALID_ARGUMENT;
    } else {
        result = applyKnownParameter(key, value);
    }
    traceCall(kind, args, result);
    return result;
}

int SimEngineCore::applyKnownParameter(const std::string& key, const QJsonValue& value)
{
    for (const KnownKey& known : kKnownKeys) {
        if (key == known.key && !hasType(value, known.type))
            return -ERR_INVALID_ARGUMENT;
    }

    if (key == "rtc.log_file") {
        if (!m_log.setFile(value.toString()))
            return -ERR_INVALID_ARGUMENT;
        m_log.write(QStringLiteral("log file %1").arg(value.toString()));
        return 0;
    }
    if (key == "rtc.log_filter") {
        m_log.setFilter(value.toInt());
        return 0;
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    if (key == "rtc.audio.mute_me" || key == "che.audio.mute_me") {
        m_muted = value.toBool();
    } else if (key == "rtc.video.capture" || key == "che.video.local.capture") {
        const bool capturedBefore = shouldCapture();
        m_localCapture = value.toBool();
        noteCaptureStart(capturedBefore);
    } else if (key == "che.video.local.render") {
        m_localRender = value.toBool();
    } else if (key == "che.video.local.send") {
        m_localSend = value.toBool();
    } else if (key == "che.audio.volume_indication") {
        const QJsonValue interval = value.toObject().value(QStringLiteral("interval"));
        if (!interval.isDouble())
            return -ERR_INVALID_ARGUMENT;
        m_volumeIntervalMs = interval.toInt() > 0 ? std::max(10, interval.toInt()) : 0;
        m_nextVolume = Clock::now();
    } else if (key == "che.video.localViewMirrorSetting") {
        const QString mode = value.toString();
        if (mode == QLatin1String("default"))
            m_mirrorMode = 0;
        else if (mode == QLatin1String("forceMirror"))
            m_mirrorMode = 1;
        else if (mode == QLatin1String("disableMirror"))
            m_mirrorMode = 2;
        else
            return -ERR_INVALID_ARGUMENT;
    } else if (key == "che.audio.start_recording") {
        const QJsonValue path = value.toObject().value(QStringLiteral("filePath"));
        if (!path.isString() || path.toString().isEmpty())
            return -ERR_INVALID_ARGUMENT;
        m_recording = true;
    } else if (key == "che.audio.stop_recording") {
        m_recording = false;
    } else if (key == "che.video.start_screen_capture") {
        m_screenCapture = true;
    } else if (key == "che.video.stop_screen_capture") {
        m_screenCapture = false;
    }
    return 0;
}
