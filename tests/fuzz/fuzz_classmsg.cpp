// Feeds arbitrary text to the receive side of the class message engine: the parser, then the dispatcher with its
// signals, talk lists applied to the member map and the teacher's answers (built and serialised, not sent).
#include "app/AppGlobalData.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgEnvelope.h"
#include "live/messages/ClassMsgProtocol.h"

#include "QtLeakScope.h"
#include "QuietQtMessages.h"

#include <cstddef>
#include <cstdint>

namespace {

// An engine without a transport.
class FuzzEngine : public ClassMsgEngine_Imp
{
public:
    FuzzEngine() { init(nullptr, nullptr); }
    int getInitResult() const override { return 0; }
    void tryReConnect() override {}
    int postMsg(const QVariantMap& message) override { return serializeClassMsg(message).isEmpty() ? -1 : 0; }
};

// A lesson with three pupils; the local user is the teacher or a pupil.
void resetLesson(bool teacher)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.accountType = teacher ? 2 : 1;
    data->launch.userId = teacher ? QStringLiteral("300451") : QStringLiteral("100234");
    data->launch.uiType = 1;
    data->lesson.periodId = QStringLiteral("20240611093");
    data->clearUsers();
    for (int id : {100234, 100871, 101502}) {
        UserInfo pupil;
        pupil.userId = QString::number(id);
        data->addUser(pupil);
    }
}

bool parseIgnoringQtLeaks(const QByteArray& bytes, ReceivedClassMsg& message)
{
    const QtLeakScope ignoreQtLeaks;
    return parseClassMsg(bytes, message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();
    static FuzzEngine* engine = new FuzzEngine;
    resetLesson(size % 2 == 0);

    // As the socket hands them over: text frames as they are, binary frames read as UTF-8.
    const QByteArray bytes = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size)).toUtf8();
    ReceivedClassMsg message;
    if (!parseIgnoringQtLeaks(bytes, message))
        return 0;
    // Read in place, as received, and as a map, as other callers hand it over.
    engine->dispatchReceived(message);
    resetLesson(size % 2 == 0);
    engine->dispatchMsg(message.messageId(), message.tag, message.body());
    return 0;
}
