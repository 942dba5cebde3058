#include "rooms/public/PublicEntryPlan.h"

#include "app/records/InitTaskParams.h"

#include <QCoreApplication>

namespace PublicEntryPlan {

unsigned int pendingMaskFor(int accountType)
{
    switch (accountType) {
    case 2:
        return 0x3FF;
    case 1:
        return 0x2FD;
    default:
        return 0x2F1;
    }
}

const QVector<unsigned int>& stepOrder()
{
    static const QVector<unsigned int> order{
        Agora_InitChannel, Agora_CheckCamera, Agora_CheckMicphone,      Agora_CheckSpeaker, API_LoadClassInfo,
        WebSocket_Link,    API_EnterClass,    WebEngine_LoadWhiteboard, Agora_JoinChannel,  NormalClass_InitUI};
    return order;
}

QVector<unsigned int> pendingSteps(unsigned int mask)
{
    QVector<unsigned int> steps;
    for (const unsigned int step : stepOrder()) {
        if (mask & step)
            steps.append(step);
    }
    return steps;
}

StepTexts textsFor(unsigned int step)
{
    struct Row
    {
        unsigned int step;
        const char* waiting;
        const char* title;
        const char* detail;
    };
    static const char kNetwork[] = QT_TRANSLATE_NOOP("PublicClassRoom", "connecting network...");
    static const char kJoinFailed[] = QT_TRANSLATE_NOOP("PublicClassRoom", "Failed to join the class");
    static const char kJoinHint[] =
        QT_TRANSLATE_NOOP("PublicClassRoom", "Please check your network and try to connect again.");
    static const char kServerFailed[] = QT_TRANSLATE_NOOP("PublicClassRoom", "connect server failed");
    static const char kNetworkHint[] =
        QT_TRANSLATE_NOOP("PublicClassRoom", "please check your network, and try again.");
    static const Row rows[] = {
        {Agora_InitChannel, kNetwork, kJoinFailed, kJoinHint},
        {Agora_CheckCamera, QT_TRANSLATE_NOOP("PublicClassRoom", "connecting camera..."),
         QT_TRANSLATE_NOOP("PublicClassRoom", "connect camera failed"),
         QT_TRANSLATE_NOOP("PublicClassRoom", "please check your camera, and try again.")},
        {Agora_CheckMicphone, QT_TRANSLATE_NOOP("PublicClassRoom", "connecting micphone..."),
         QT_TRANSLATE_NOOP("PublicClassRoom", "connect micphone failed"),
         QT_TRANSLATE_NOOP("PublicClassRoom", "please check your micphone, and try again.")},
        {Agora_CheckSpeaker, QT_TRANSLATE_NOOP("PublicClassRoom", "connecting speaker..."),
         QT_TRANSLATE_NOOP("PublicClassRoom", "connect speaker failed"),
         QT_TRANSLATE_NOOP("PublicClassRoom", "please check your speaker, and try again.")},
        {API_LoadClassInfo, kNetwork, kServerFailed, kNetworkHint},
        {API_EnterClass, kNetwork, kServerFailed, kNetworkHint},
        {WebEngine_LoadWhiteboard, kNetwork, QT_TRANSLATE_NOOP("PublicClassRoom", "load whiteboard failed"),
         kNetworkHint},
        {Agora_JoinChannel, kNetwork, kJoinFailed, kJoinHint},
    };
    for (const Row& row : rows) {
        if (row.step == step) {
            const auto tr = [](const char* text) { return QCoreApplication::translate("PublicClassRoom", text); };
            return {true, tr(row.waiting), tr(row.title), tr(row.detail)};
        }
    }
    return {};
}

int reportedDeviceType(unsigned int step)
{
    switch (step) {
    case Agora_CheckCamera:
        return 1;
    case Agora_CheckMicphone:
        return 2;
    case Agora_CheckSpeaker:
        return 3;
    default:
        return 0;
    }
}

} // namespace PublicEntryPlan
