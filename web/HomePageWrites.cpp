#include "web/HomePageWrites.h"

#include "app/AppGlobalData.h"
#include "app/LaunchOptions.h"
#include "app/ZmAppEvents.h"
#include "net/api/JsonFields.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include <cmath>
#include <limits>

namespace HomePageWrites {

namespace {

// The top-level object of a JSON text; false when the text is no JSON object.
bool readObject(const QString& text, QJsonObject& object)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    object = document.object();
    return true;
}

// A text as it is, a whole number as its decimal text; empty for anything else.
QString textOf(const QJsonValue& value)
{
    return value.isString() ? value.toString() : jsonWholeNumberText(value);
}

// A number (truncated towards zero) or a decimal text within int; fallback for anything else.
int intOf(const QJsonValue& value, int fallback)
{
    if (value.isDouble()) {
        const double number = std::trunc(value.toDouble());
        if (std::isfinite(number) && number >= std::numeric_limits<int>::min() &&
            number <= std::numeric_limits<int>::max())
            return static_cast<int>(number);
        return fallback;
    }
    bool ok = false;
    const int number = value.toString().toInt(&ok, 10);
    return ok ? number : fallback;
}

// A flag the way a variant converts it: false for an empty text, "0" and "false" (any case), zero and null.
bool flagOf(const QJsonValue& value)
{
    return value.toVariant().toBool();
}

enum class AccountTypeRule
{
    TeacherWhenUnreadable, // missing or not a number: 2
    ZeroWhenUnreadable,    // missing: unchanged; not a number: 0
};

// The lesson keys common to entering a class and a replay.
void applyLessonKeys(const QJsonObject& object, AppGlobalData& data, AccountTypeRule accountRule)
{
    LaunchInfo& launch = data.launch;
    if (object.contains(QLatin1String("teachType")))
        launch.teachType = intOf(object.value(QLatin1String("teachType")), 0);
    if (object.contains(QLatin1String("classType")))
        launch.classType = intOf(object.value(QLatin1String("classType")), 0);
    data.setUiType(launch.teachType, launch.classType);

    const QJsonValue accountType = object.value(QLatin1String("accountType"));
    if (accountRule == AccountTypeRule::TeacherWhenUnreadable)
        launch.accountType = intOf(accountType, 2);
    else if (!accountType.isUndefined())
        launch.accountType = intOf(accountType, 0);

    for (const char* key : {"lessonid", "periodid"}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            continue;
        qInfo().noquote() << "HomePageWrites" << key
                          << QJsonDocument(QJsonObject{{QLatin1String(key), value}}).toJson(QJsonDocument::Compact);
        (qstrcmp(key, "lessonid") == 0 ? data.lesson.lessonId : data.lesson.periodId) = idText(value);
    }
    if (object.contains(QLatin1String("lessonname")))
        data.lesson.lessonName = textOf(object.value(QLatin1String("lessonname")));
}

} // namespace

bool applyLoginSuccess(const QString& text, AppGlobalData& data)
{
    QJsonObject object;
    if (!readObject(text, object))
        return false;
    if (object.contains(QLatin1String("userid")))
        data.launch.userId = textOf(object.value(QLatin1String("userid")));
    if (object.contains(QLatin1String("token")))
        data.launch.token = textOf(object.value(QLatin1String("token")));
    return flagOf(object.value(QLatin1String("result")));
}

void applyEnterRoom(const QString& text, AppGlobalData& data)
{
    QJsonObject object;
    if (readObject(text, object))
        applyLessonKeys(object, data, AccountTypeRule::TeacherWhenUnreadable);
    data.launch.startAppType = AppType_JoinClass;
}

int applyEnterReplayer(const QString& text, AppGlobalData& data)
{
    QJsonObject object;
    if (readObject(text, object)) {
        applyLessonKeys(object, data, AccountTypeRule::ZeroWhenUnreadable);
        LaunchInfo& launch = data.launch;
        launch.media1 = textOf(object.value(QLatin1String("media1")));
        launch.media1start = textOf(object.value(QLatin1String("media1start")));
        launch.media1dur = textOf(object.value(QLatin1String("media1dur")));
        launch.media2 = textOf(object.value(QLatin1String("media2")));
        launch.media2start = textOf(object.value(QLatin1String("media2start")));
        launch.media2dur = textOf(object.value(QLatin1String("media2dur")));
    }
    data.launch.startAppType = AppType_Playback;
    return LaunchOptions::startStatusFor(AppType_Playback, data.launch.uiType);
}

bool applyInitFilePage(const QString& text, AppGlobalData& data)
{
    QJsonObject object;
    if (!readObject(text, object))
        return false;
    const QJsonValue result = object.value(QLatin1String("result"));
    if (!(result == QJsonValue(QStringLiteral("true")) || result == QJsonValue(true)))
        return false;
    data.launch.userId.clear();
    return true;
}

QUrl externalAddress(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return QUrl();
    return url;
}

QString idText(const QJsonValue& value)
{
    if (value.isString()) {
        const QString digits = value.toString();
        bool ok = false;
        const qint64 number = digits.toLongLong(&ok, 10);
        return ok ? QString::number(number) : QStringLiteral("0");
    }
    return jsonIdText(value);
}

} // namespace HomePageWrites
