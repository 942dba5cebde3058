#include "live/entry/InitTaskTexts.h"

#include "app/records/InitTaskParams.h"

#include <QCoreApplication>

namespace {

struct StepTexts
{
    int kind;
    const char* running;
    const char* failure;
    const char* hint;
};

const char kNetworkHint[] = QT_TRANSLATE_NOOP("InitTask", "please check your network, and try again");

const StepTexts kTexts[] = {
    {Agora_InitChannel, QT_TRANSLATE_NOOP("InitTask", "Initializing...(Agora_InitChannel)"),
     QT_TRANSLATE_NOOP("InitTask", "Initialization failed.(Agora_InitChannel)"), kNetworkHint},
    {Agora_CheckCamera, QT_TRANSLATE_NOOP("InitTask", "connecting camera..."),
     QT_TRANSLATE_NOOP("InitTask", "connect camera failed"),
     QT_TRANSLATE_NOOP("InitTask", "please check your camera, and try again.")},
    {Agora_CheckMicphone, QT_TRANSLATE_NOOP("InitTask", "connecting micphone..."),
     QT_TRANSLATE_NOOP("InitTask", "connect micphone failed"),
     QT_TRANSLATE_NOOP("InitTask", "please check your micphone, and try again.")},
    {Agora_CheckSpeaker, QT_TRANSLATE_NOOP("InitTask", "connecting speaker..."),
     QT_TRANSLATE_NOOP("InitTask", "connect speaker failed"),
     QT_TRANSLATE_NOOP("InitTask", "please check your speaker, and try again.")},
    {API_LoadClassInfo, QT_TRANSLATE_NOOP("InitTask", "Connecting...(API_LoadClassInfo)"),
     QT_TRANSLATE_NOOP("InitTask", "Connection failed.(API_LoadClassInfo)"), kNetworkHint},
    {API_EnterClass, QT_TRANSLATE_NOOP("InitTask", "Connecting...(API_EnterClass)"),
     QT_TRANSLATE_NOOP("InitTask", "Connection failed(API_EnterClass)"), kNetworkHint},
    {Agora_JoinChannel, QT_TRANSLATE_NOOP("InitTask", "Connecting...(Agora_JoinChannel)"),
     QT_TRANSLATE_NOOP("InitTask", "Connection failed(Agora_JoinChannel)"), kNetworkHint},
    {WebEngine_LoadWhiteboard, QT_TRANSLATE_NOOP("InitTask", "connecting whiteboard..."),
     QT_TRANSLATE_NOOP("InitTask", "Whiteboard connection failed"), kNetworkHint},
    {WebSocket_Link, QT_TRANSLATE_NOOP("InitTask", "Connecting...(WS)"),
     QT_TRANSLATE_NOOP("InitTask", "Connection failed.(WS)"), kNetworkHint},
};

const StepTexts* textsOf(int kind)
{
    for (const StepTexts& texts : kTexts) {
        if (texts.kind == kind)
            return &texts;
    }
    return nullptr;
}

QString translated(const char* text)
{
    return text ? QCoreApplication::translate("InitTask", text) : QString();
}

} // namespace

namespace InitTaskTexts {

QString runningText(int kind)
{
    const StepTexts* texts = textsOf(kind);
    return texts ? translated(texts->running) : QString();
}

QString failureText(int kind)
{
    const StepTexts* texts = textsOf(kind);
    return texts ? translated(texts->failure) : QString();
}

QString hintText(int kind)
{
    const StepTexts* texts = textsOf(kind);
    return texts ? translated(texts->hint) : QString();
}

} // namespace InitTaskTexts
