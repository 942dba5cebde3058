#include "rooms/widgets/PageEnvironment.h"

#include "app/ProgramFiles.h"
#include "app/SystemInfo.h"
#include "net/api/ZmNetAPI.h"
#include "web/whiteboard/Whiteboard.h"

#include <QMap>
#include <QString>

void postPageEnvironment(Whiteboard* page, quint32 userId)
{
    QMap<QString, QString> environment;
    environment.insert(QStringLiteral("deviceUid"), getDeviceUid());
    environment.insert(QStringLiteral("systemVersion"), getOsName());
    environment.insert(QStringLiteral("appVersion"), getExeFileVersion(4));
    page->postN2WMessage(QStringLiteral("msg-n2w-post-env"), userId, environment);
}
