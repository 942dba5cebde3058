#include "app/LaunchOptions.h"

#include "app/AddressOrigin.h"
#include "app/AppGlobalData.h"
#include "app/CommandLine.h"
#include "app/OptionSecrets.h"
#include "app/UrlConfig.h"
#include "app/ZmAppEvents.h"

#include <QDebug>

#include <algorithm>

namespace {

// Sets field to the option's value when the option is there.
void takeText(const QHash<QString, QString>& options, const char* key, QString& field)
{
    const auto found = options.constFind(QLatin1String(key));
    if (found != options.constEnd())
        field = *found;
}

// Sets field to the option's decimal value when the option is there and converts.
void takeIntIfNumber(const QHash<QString, QString>& options, const char* key, int& field)
{
    const auto found = options.constFind(QLatin1String(key));
    if (found == options.constEnd())
        return;
    bool ok = false;
    const int number = found->toInt(&ok, 10);
    if (ok)
        field = number;
}

// Sets field to the option's decimal value when the option is there; 0 when it doesn't convert.
void takeIntOrZero(const QHash<QString, QString>& options, const char* key, int& field)
{
    const auto found = options.constFind(QLatin1String(key));
    if (found != options.constEnd())
        field = found->toInt(nullptr, 10);
}

QString withoutQuotes(QString text)
{
    return text.remove('"');
}

// The options that name a service address.
const char* const kAddressOptions[] = {"--urlmain", "--urlapi", "--urlrestful", "--urlwb", "--urlpwb"};

// The address option an entry sets, read as readOptionTable reads it; false for every other entry.
bool readAddressOption(const QString& entry, QString& key, QString& value)
{
    if (!readOptionEntry(entry, key, value))
        return false;
    for (const char* name : kAddressOptions) {
        if (key == QLatin1String(name))
            return true;
    }
    return false;
}

void logOptionTable(const QHash<QString, QString>& options)
{
    QStringList keys = options.keys();
    std::sort(keys.begin(), keys.end());
    QStringList lines;
    for (const QString& key : keys)
        lines.append(maskOptionSecrets(key + '=' + options.value(key), OptionTextKind_Option));
    qInfo().noquote() << "ZmApplication::parseCommandLine options:" << lines.join(QStringLiteral(", "));
}

} // namespace

void LaunchOptions::parse(const QStringList& list, AppGlobalData& data, UrlConfig& urls, const TokenExchange& exchange,
                          const QVector<bool>& fromLink)
{
    logArguments(list);
    m_options = readOptionTable(withoutStrayLinkAddresses(list, fromLink, urls));
    logOptionTable(m_options);

    LaunchInfo& launch = data.launch;
    LessonInfo& lesson = data.lesson;
    takeText(m_options, "--web_mode", launch.webMode);
    takeText(m_options, "--urlmain", urls.mainRoom);
    takeText(m_options, "--urlapi", urls.api);
    takeText(m_options, "--urlrestful", urls.restful);
    takeText(m_options, "--urlwb", urls.whiteboard);
    takeText(m_options, "--urlpwb", urls.playbackWhiteboard);
    applyCredentials(data, exchange);
    takeIntIfNumber(m_options, "--accounttype", launch.accountType);
    takeIntIfNumber(m_options, "--teachtype", launch.teachType);
    takeIntIfNumber(m_options, "--classtype", launch.classType);
    data.setUiType(launch.teachType, launch.classType);
    takeText(m_options, "--lessonid", lesson.lessonId);
    takeText(m_options, "--periodid", lesson.periodId);
    takeText(m_options, "--lessonname", lesson.lessonName);
    takeText(m_options, "--media1", launch.media1);
    takeText(m_options, "--media1start", launch.media1start);
    takeText(m_options, "--media1dur", launch.media1dur);
    takeText(m_options, "--media2", launch.media2);
    takeText(m_options, "--media2start", launch.media2start);
    takeText(m_options, "--media2dur", launch.media2dur);

    const auto appType = m_options.constFind(QStringLiteral("--apptype"));
    if (appType != m_options.constEnd()) {
        launch.appType = AppType_None;
        if (*appType == QLatin1String("joinclass"))
            launch.appType = AppType_JoinClass;
        else if (*appType == QLatin1String("playback"))
            launch.appType = AppType_Playback;
        launch.startAppType = launch.appType;
    }

    takeIntOrZero(m_options, "--sharescreen720pbitrate", launch.shareScreen720pBitrate);
    takeIntOrZero(m_options, "--stopmic_teacherleaved_m", launch.stopMicTeacherLeft);
}

QStringList LaunchOptions::withoutStrayLinkAddresses(const QStringList& list, const QVector<bool>& fromLink,
                                                     const UrlConfig& urls)
{
    for (const char* address : {UrlConfig::defaultMainRoom, UrlConfig::defaultApi, UrlConfig::defaultWhiteboard,
                                UrlConfig::defaultPlaybackWhiteboard})
        m_trustedOrigins.insert(addressOrigin(QLatin1String(address)));
    for (const QString* address :
         {&urls.mainRoom, &urls.api, &urls.restful, &urls.whiteboard, &urls.playbackWhiteboard})
        m_trustedOrigins.insert(addressOrigin(*address));
    QString key;
    QString value;
    for (int i = 0; i < list.size(); ++i) {
        if (!fromLink.value(i) && readAddressOption(list.at(i), key, value))
            m_trustedOrigins.insert(addressOrigin(value));
    }
    m_trustedOrigins.remove(QString());

    QStringList kept;
    kept.reserve(list.size());
    for (int i = 0; i < list.size(); ++i) {
        const QString& entry = list.at(i);
        if (fromLink.value(i) && readAddressOption(entry, key, value)) {
            const QString origin = addressOrigin(value);
            if (!m_trustedOrigins.contains(origin)) {
                qWarning().noquote() << "ZmApplication::parseCommandLine ignores" << key << "from a link: its origin"
                                     << (origin.isEmpty() ? QStringLiteral("(unreadable)") : origin)
                                     << "is not one of the configured service addresses";
                continue;
            }
        }
        kept.append(entry);
    }
    return kept;
}

void LaunchOptions::applyCredentials(AppGlobalData& data, const TokenExchange& exchange)
{
    QString userIdKey = QStringLiteral("--authuserid");
    QString tokenKey = QStringLiteral("--authtoken");
    if (!m_options.contains(userIdKey) || !m_options.contains(tokenKey)) {
        userIdKey = QStringLiteral("--uid");
        tokenKey = QStringLiteral("--token");
        if (!m_options.contains(userIdKey) || !m_options.contains(tokenKey))
            return;
    }

    data.launch.userId = m_options.value(userIdKey);
    // The token given here is only passed to the exchange; the launch record keeps the exchanged one.
    const QString tokenText = withoutQuotes(m_options.value(tokenKey));
    if (tokenText.isEmpty())
        return;
    data.launch.token = exchange ? exchange(data.launch.userId, tokenText) : QString();
    if (data.launch.token.isEmpty())
        qWarning().noquote() << "ZmApplication::parseCommandLine the token exchange failed for user"
                             << data.launch.userId;
}

bool LaunchOptions::checkParams(const LaunchInfo& launch)
{
    m_errors.clear();
    if (launch.appType == AppType_None)
        return true;
    if (launch.accountType == 0) {
        m_errors.append(QStringLiteral("--accounttype = ") + m_options.value(QStringLiteral("--accounttype")));
        return false;
    }
    if (launch.uiType != 0)
        return true;
    m_errors.append(QStringLiteral("--uitype = ") + m_options.value(QStringLiteral("--uitype")));
    return false;
}

QStringList LaunchOptions::readOptionNames()
{
    return {"--web_mode",
            "--urlmain",
            "--urlapi",
            "--urlrestful",
            "--urlwb",
            "--urlpwb",
            "--authuserid",
            "--authtoken",
            "--uid",
            "--token",
            "--accounttype",
            "--teachtype",
            "--classtype",
            "--uitype",
            "--lessonid",
            "--periodid",
            "--lessonname",
            "--media1",
            "--media1start",
            "--media1dur",
            "--media2",
            "--media2start",
            "--media2dur",
            "--apptype",
            "--sharescreen720pbitrate",
            "--stopmic_teacherleaved_m"};
}

int LaunchOptions::startStatusFor(int appType, int uiType)
{
    if (appType == AppType_JoinClass) {
        switch (uiType) {
        case 1:
            return AppStartStatus_NormalClassRoom;
        case 2:
            return AppStartStatus_SmallClassRoom;
        case 3:
            return AppStartStatus_PublicClassRoom;
        default:
            return AppStartStatus_None;
        }
    }
    if (appType == AppType_Playback) {
        switch (uiType) {
        case 1:
            return AppStartStatus_NormalClassReplay;
        case 2:
            return AppStartStatus_SmallClassReplay;
        case 3:
            return AppStartStatus_PublicClassReplay;
        default:
            return AppStartStatus_None;
        }
    }
    return AppStartStatus_MainRoom;
}
