#include "live/entry/InitTask_API.h"

#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "app/records/InitTaskParams.h"
#include "app/tasks/QTaskItem.h"
#include "app/tasks/TaskProperties.h"
#include "live/entry/BackupRequestChain.h"
#include "live/entry/EntryAddresses.h"
#include "live/entry/OwedLogUpload.h"
#include "net/api/GetSmallClassInfoTask.h"
#include "net/api/LessonResponseParser.h"
#include "net/api/UnavailableDevices.h"
#include "net/api/ZmNetAPI.h"

#include <QDebug>
#include <QPointer>

InitTask_API_LoadClassInfo::InitTask_API_LoadClassInfo(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(API_LoadClassInfo, params, parent)
{
}

InitTask_API_LoadClassInfo::~InitTask_API_LoadClassInfo()
{
    BackupRequestChain::releaseWhenIdle(m_context);
}

void InitTask_API_LoadClassInfo::runTask()
{
    startOwedLogUpload();
    getUnavailableDevicesCached(-1);

    const QString guid = createGuidString();
    const QString timeStamp = requestTimeStamp();
    const UrlConfig* urls = UrlConfig::instance();
    const QPointer<InitTask_API_LoadClassInfo> self(this);
    m_context = BackupRequestChain::launch(
        QLatin1String(kApiStepRunContext), urls->restful, urls->restfulAlternates,
        AppGlobalData::instance()->lessonContext(),
        [guid, timeStamp](QTaskItem* task, const QString& base) { GetSmallClassInfoTask(task, base, guid, timeStamp); },
        [self](QTaskItem* winner) {
            const QVariant response = winner ? winner->property(QLatin1String(TaskProperty_Response)) : QVariant();
            const bool parsed = parseLessonResponseProperty(response);
            qInfo() << "InitTask_API_LoadClassInfo: lesson information" << (parsed ? "parsed" : "not usable");
            if (self)
                self->finishTask(parsed ? 1 : -1);
        },
        [self] {
            qWarning() << "InitTask_API_LoadClassInfo: every request failed";
            if (self)
                self->finishTask(-1);
        });
}

InitTask_API_EnterClass::InitTask_API_EnterClass(s_InitTask_Params* params, QObject* parent)
    : InitTask_Imp(API_EnterClass, params, parent)
{
}

InitTask_API_EnterClass::~InitTask_API_EnterClass()
{
    BackupRequestChain::releaseWhenIdle(m_context);
}

void InitTask_API_EnterClass::runTask()
{
    const QString guid = createGuidString();
    const QString timeStamp = requestTimeStamp();
    const UrlConfig* urls = UrlConfig::instance();
    const QPointer<InitTask_API_EnterClass> self(this);
    m_context = BackupRequestChain::launch(
        QLatin1String(kApiStepRunContext), urls->api, urls->apiAlternates, AppGlobalData::instance()->lessonContext(),
        [guid, timeStamp](QTaskItem* task, const QString& base) {
            ZmNetAPI::instance()->EnterClassRoom(task, base, guid, timeStamp);
        },
        [self](QTaskItem*) {
            if (self)
                self->finishTask(1);
        },
        [self] {
            qWarning() << "InitTask_API_EnterClass: every request failed";
            if (self)
                self->finishTask(-1);
        });
}
