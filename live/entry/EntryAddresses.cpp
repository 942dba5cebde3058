#include "live/entry/EntryAddresses.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "net/api/UrlSigner.h"

#include <QDateTime>
#include <QUuid>

QString createGuidString()
{
    const QUuid guid = QUuid::createUuid();
    if (guid.isNull())
        return QStringLiteral("create guid error");
    QString text = QString::asprintf("%08X%04X%04x", guid.data1, guid.data2, guid.data3);
    for (const uchar byte : guid.data4)
        text += QString::asprintf("%02X", byte);
    return text;
}

QString requestTimeStamp()
{
    return QString::number(QDateTime::currentSecsSinceEpoch());
}

QString buildWhiteboardUrl()
{
    const AppGlobalData* data = AppGlobalData::instance();
    QString identity = QStringLiteral("guest");
    if (data->isStudent())
        identity = QStringLiteral("student");
    else if (data->isTeacher())
        identity = QStringLiteral("teacher");

    const ApiParamList params{{QStringLiteral("identity"), identity},
                              {QStringLiteral("userId"), data->launch.userId},
                              {QStringLiteral("lessonId"), data->lesson.lessonId},
                              {QStringLiteral("periodId"), data->lesson.periodId},
                              {QStringLiteral("partId"), QStringLiteral("1")},
                              {QStringLiteral("mr"), QStringLiteral("1")}};
    return UrlConfig::instance()->whiteboard + UrlSigner::signQuery(params);
}
