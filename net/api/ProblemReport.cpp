// Problem reports: faults of the running lesson, filed with the class service as a signed form POST.
#include "net/api/ZmNetAPI.h"

#include "app/AppGlobalData.h"
#include "app/SystemInfo.h"
#include "app/UrlConfig.h"
#include "net/api/ApiCommonParams.h"
#include "net/api/RestfulRequest.h"
#include "net/http/HttpCurl.h"
#include "net/http/SecretMask.h"

#include <QDebug>

namespace {

constexpr char kReportPath[] = "/classroom/monitor/period/device/report/callback";
constexpr int kRtcChannelProblem = 5;
constexpr int kAuditor = 3;

QString orMinusOne(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("-1") : text;
}

} // namespace

ApiParamList problemReportForm(int accountType, const QString& periodId, const QString& systemVersion,
                               const QString& webLocalVersion, int problemType, int errorCode, const QString& remark,
                               const QString& errorDescription)
{
    return ApiParamList{{QStringLiteral("accountType"), QString::number(accountType)},
                        {QStringLiteral("periodId"), periodId},
                        {QStringLiteral("systemVersion"), systemVersion},
                        {QStringLiteral("webLocalVersion"), webLocalVersion},
                        {QStringLiteral("problemType"), QString::number(problemType)},
                        {QStringLiteral("errorCode"), QString::number(errorCode)},
                        {QStringLiteral("remark"), orMinusOne(remark)},
                        {QStringLiteral("errorDescription"), orMinusOne(errorDescription)}};
}

int ZmNetAPI::reportDeviceProblem(int problemType, int errorCode, const QString& remark,
                                  const QString& errorDescription)
{
    return reportDeviceProblem(AppGlobalData::instance()->lessonContext(), problemType, errorCode, remark,
                               errorDescription);
}

int ZmNetAPI::reportDeviceProblem(const LessonContext& lesson, int problemType, int errorCode, const QString& remark,
                                  const QString& errorDescription)
{
    if (lesson.periodId().isEmpty())
        return 0;
    if (problemType != kRtcChannelProblem && lesson.accountType() == kAuditor)
        return 0;

    QString address = ApiCommonParams::restfulBase(UrlConfig::instance()->restful) + QLatin1String(kReportPath);
    qInfo().noquote() << QStringLiteral("Call RESTful : %1").arg(address);

    const ApiParamList headers = Restful::headerPairs(
        {}, Restful::commonValuesNow(m_version, QStringLiteral("6"), lesson.paramA(), lesson.userId(), lesson.token()));
    const ApiParamList form =
        problemReportForm(lesson.accountType(), lesson.periodId(), getOsName(), ApiCommonParams::installedWebVersion(),
                          problemType, errorCode, remark, errorDescription);

    address.replace(QLatin1Char(' '), QLatin1String("%20"));
    QByteArray body;
    if (HttpCurl::postForm(address.toUtf8(), &headers, &form, &HttpCurl::writeToByteArray, &body, timeoutSeconds()) !=
        0)
        return -1;

    qInfo().noquote() << "ZmNetAPI::reportDeviceProblem reply:"
                      << SecretMask::logExcerpt(QString::fromUtf8(body).trimmed());
    const QJsonObject reply = parseReplyObject(body);
    qInfo().noquote() << "ZmNetAPI::reportDeviceProblem reply document:" << SecretMask::logExcerpt(replyText(reply));
    if (!readSuccessFlag(reply)) {
        qWarning() << "ZmNetAPI::reportDeviceProblem refused, problem type" << problemType;
        return -1;
    }
    return 0;
}
