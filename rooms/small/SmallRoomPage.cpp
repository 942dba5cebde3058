#include "rooms/small/SmallRoomPage.h"

#include <QUrl>
#include <QtGlobal>

namespace {

QString encodedValue(const QString& value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

QString smallRoomPageAddress(const QString& pagePath, const SmallRoomPageQuery& query)
{
    const QString page = pagePath.isEmpty() ? QString() : QUrl::fromLocalFile(pagePath).toString(QUrl::FullyEncoded);
    const QString pptPath = QUrl::fromLocalFile(query.lessonFolder).toString();
    const QString language = query.language == QLatin1String("cn") ? QStringLiteral("zh-CN") : QStringLiteral("en");
    return page + QStringLiteral("?periodId=%1&userId=%2&token=%3&mode=%4&ppt_path=%5&language=%6&accountType=%7")
                      .arg(encodedValue(query.periodId), QString::number(query.userId), encodedValue(query.token),
                           encodedValue(query.webMode), encodedValue(pptPath), language,
                           QString::number(query.accountType));
}

int smallRoomVideoProfile(int pageSize)
{
    switch (pageSize) {
    case 120:
        return 0;
    case 240:
        return 20;
    case 480:
        return 40;
    default:
        return -1;
    }
}

int smallRoomPageVolume(int engineVolume)
{
    return qBound(0, engineVolume, 255) * 100 / 255;
}
