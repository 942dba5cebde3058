#include "live/rtc/CAgoraObject.h"

#include "live/rtc/RtcEngineParameters.h"
#include "live/rtc/RtcMetaTypes.h"
#include "live/rtc/engine/IRtcEngine.h"

#include <QDebug>
#include <QMutex>

using namespace agora::rtc;

namespace {

// The singleton and its engine. Made and destroyed on one thread; the lock keeps readers on other threads safe.
QMutex g_mutex;
CAgoraObject* g_object = nullptr;
IRtcEngine* g_engine = nullptr;
QString g_appId;

IRtcEngine* engineLocked()
{
    if (!g_engine)
        g_engine = createAgoraRtcEngine();
    return g_engine;
}

} // namespace

CAgoraObject::CAgoraObject()
    : m_pEventHandler(new CAGEngineEventHandler(this))
{
    registerRtcMetaTypes();
}

CAgoraObject::~CAgoraObject() = default;

CAgoraObject* CAgoraObject::getOrCreate(const QString& appId)
{
    QMutexLocker locker(&g_mutex);
    if (!g_object)
        g_object = new CAgoraObject;
    IRtcEngine* engine = engineLocked();
    if (!appId.isEmpty() && engine) {
        const QByteArray id = appId.toLatin1();
        RtcEngineContext context;
        context.eventHandler = g_object->m_pEventHandler;
        context.appId = id.constData();
        const int result = engine->initialize(context);
        qInfo() << "CAgoraObject::getOrCreate initialize" << result;
        g_appId = appId;
    }
    return g_object;
}

CAgoraObject* CAgoraObject::instance()
{
    QMutexLocker locker(&g_mutex);
    return g_object;
}

IRtcEngine* CAgoraObject::engine()
{
    QMutexLocker locker(&g_mutex);
    return engineLocked();
}

void CAgoraObject::destroy()
{
    IRtcEngine* engine = nullptr;
    CAgoraObject* object = nullptr;
    {
        QMutexLocker locker(&g_mutex);
        std::swap(engine, g_engine);
        std::swap(object, g_object);
    }
    // Outside the lock: a release may take a while, and instance() stays answerable meanwhile.
    if (engine)
        engine->release(true);
    delete object;
}

bool CAgoraObject::setVideoEnabled(bool on)
{
    IRtcEngine* rtc = engine();
    if (!rtc || (on ? rtc->enableVideo() : rtc->disableVideo()) != 0)
        return false;
    m_videoEnabled = on;
    return true;
}

bool CAgoraObject::setLocalPreview(WId view, bool on, bool mirror)
{
    IRtcEngine* rtc = engine();
    if (!rtc)
        return false;
    if (!on)
        return rtc->stopPreview() == 0;
    RtcEngineParameters(rtc).setString("che.video.localViewMirrorSetting", mirror ? "forceMirror" : "disableMirror");
    VideoCanvas canvas;
    canvas.view = view_t(view);
    canvas.renderMode = RENDER_MODE_HIDDEN;
    canvas.uid = 0;
    rtc->setupLocalVideo(canvas);
    return rtc->startPreview() == 0;
}

bool CAgoraObject::setLogFile(const QString& path)
{
    QMutexLocker locker(&g_mutex);
    if (!g_engine)
        return false;
    RtcEngineParameters parameters(g_engine);
    const int result = parameters.setString("rtc.log_file", path.toUtf8().constData());
    parameters.setInt("rtc.log_filter", 15);
    return result == 0;
}
