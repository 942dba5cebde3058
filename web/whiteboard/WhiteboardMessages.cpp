#include "web/whiteboard/WhiteboardMessages.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct KeyedKind
{
    const char* key;
    PageMessageKind kind;
};

// Compared in this order; the first equal one wins.
const KeyedKind kKeyedKinds[] = {
    {"msg-w2n-ppapi-showed", PageMessageKind::PpApiShowed},
    {"msg-w2n-ppapi-hidden", PageMessageKind::PpApiHidden},
    {"msg-w2n-btn-clicked", PageMessageKind::ButtonClicked},
    {"msg-w2n-log", PageMessageKind::Log},
    {"msg-w2n-device-mic-open", PageMessageKind::MicOpen},
    {"msg-w2n-device-mic-close", PageMessageKind::MicClose},
    {"msg-w2n-close-window-response", PageMessageKind::CloseWindowResponse},
    {"msg-w2n-close-window", PageMessageKind::CloseWindow},
    {"msg-w2n-request-env", PageMessageKind::EnvRequest},
    {"msg-w2n-set-video-profile", PageMessageKind::SetVideoProfile},
};

PageMessageKind kindOfKey(const QString& key)
{
    for (const KeyedKind& entry : kKeyedKinds) {
        if (key == QLatin1String(entry.key))
            return entry.kind;
    }
    return PageMessageKind::Unknown;
}

// A JSON string holding a signed 32-bit decimal, passed on as unsigned; anything else is 0.
quint32 userIdOf(const QJsonValue& value)
{
    bool ok = false;
    const int id = value.toString().toInt(&ok, 10);
    return ok ? quint32(id) : 0;
}

} // namespace

PageMessage readPageMessage(const QString& text)
{
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    PageMessage message;
    const auto video = object.constFind(QLatin1String("WPVideo"));
    if (video != object.constEnd()) {
        message.kind = PageMessageKind::VideoPlaying;
        message.videoPlaying = video->toString() == QLatin1String("Play");
        return message;
    }
    const auto key = object.constFind(QLatin1String("key"));
    if (key == object.constEnd())
        return message;
    message.key = key->toString();
    message.kind = kindOfKey(message.key);
    switch (message.kind) {
    case PageMessageKind::PpApiShowed:
    case PageMessageKind::PpApiHidden:
        message.userId = userIdOf(object.value(QLatin1String("userId")));
        message.domId = object.value(QLatin1String("domId")).toString();
        break;
    case PageMessageKind::ButtonClicked:
        message.domId = object.value(QLatin1String("domId")).toString();
        break;
    case PageMessageKind::Log:
        message.logLevel = object.value(QLatin1String("level")).toString();
        message.logText = object.value(QLatin1String("log")).toString();
        break;
    case PageMessageKind::SetVideoProfile:
        message.videoProfileSize = object.value(QLatin1String("size")).toInt();
        break;
    default:
        break;
    }
    return message;
}

QByteArray pageMessageJson(const QString& key, quint32 userId, const QMap<QString, QString>& extra)
{
    QJsonObject object;
    object.insert(QLatin1String("key"), key);
    object.insert(QLatin1String("userId"), QString::number(userId));
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        object.insert(it.key(), it.value());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QString passMessageScript(const QString& key, quint32 userId, const QMap<QString, QString>& extra)
{
    return QStringLiteral("passMessage(%1)").arg(QString::fromUtf8(pageMessageJson(key, userId, extra)));
}
