#include "live/messages/ClassMsgEngine.h"

#include "app/UrlConfig.h"
#include "live/messages/ClassMsgEngine_WebSocket.h"

#include <QDebug>

ClassMsgEngine* ClassMsgEngine::s_pSingleton = nullptr;

namespace {

ClassMsgEngine_Imp* engineImp()
{
    if (!ClassMsgEngine::instance()) {
        qWarning() << "ClassMsgEngine::s_pSingleton =NULL";
        return nullptr;
    }
    return qobject_cast<ClassMsgEngine_Imp*>(ClassMsgEngine::instance());
}

} // namespace

ClassMsgEngine::ClassMsgEngine(QObject* parent)
    : QObject(parent)
{
}

ClassMsgEngine* ClassMsgEngine::createInstance(QObject* receiver, const char* slot)
{
    if (s_pSingleton)
        return s_pSingleton;
    auto* engine = new ClassMsgEngine_WebSocket(UrlConfig::instance()->webSocket);
    if (!engine->init(receiver, slot)) {
        qWarning() << "ClassMsgEngine::createInstance the engine did not start";
        engine->uninit();
        delete engine;
        return nullptr;
    }
    s_pSingleton = engine;
    return engine;
}

void ClassMsgEngine::destroyInstance()
{
    auto* engine = qobject_cast<ClassMsgEngine_Imp*>(s_pSingleton);
    if (!engine)
        return;
    s_pSingleton = nullptr;
    engine->uninit();
    // Deleted from the event loop when the engine itself is running a slot that asked for this.
    if (engine->isBusy())
        engine->deleteLater();
    else
        delete engine;
}

ClassMsgEngine* ClassMsgEngine::instance()
{
    return s_pSingleton;
}

PublicMsgInterface* ClassMsgEngine::getPublicMsgInterface()
{
    ClassMsgEngine_Imp* engine = engineImp();
    return engine ? engine->publicMsgInterface() : nullptr;
}

StudentMsgInterface* ClassMsgEngine::getStudentMsgInterface()
{
    ClassMsgEngine_Imp* engine = engineImp();
    return engine ? engine->studentMsgInterface() : nullptr;
}

TeacherMsgInterface* ClassMsgEngine::getTeacherMsgInterface()
{
    ClassMsgEngine_Imp* engine = engineImp();
    return engine ? engine->teacherMsgInterface() : nullptr;
}
