// Feeds arbitrary bytes to the lesson reply parser, into application data and URL configuration of its own.
#include "app/AppGlobalData.h"
#include "app/UrlConfig.h"
#include "net/api/LessonResponseParser.h"

#include "QtLeakScope.h"
#include "QuietQtMessages.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();

    const QByteArray reply(reinterpret_cast<const char*>(data), int(size));
    AppGlobalData appData;
    UrlConfig urls;
    {
        const QtLeakScope ignoreQtLeaks;
        if (!parseLessonResponse(reply, appData, urls))
            std::abort();
    }
    // Whatever came in, the records are consistent: the channel is the period, every member a pupil keyed by
    // its id, the teacher a teacher.
    if (appData.lesson.channel != appData.lesson.periodId || appData.teacher.accountType != 2)
        std::abort();
    for (auto it = appData.memberMap()->constBegin(); it != appData.memberMap()->constEnd(); ++it) {
        if (it.value().accountType != 1 || it.key() != it.value().userIdAsInt())
            std::abort();
    }
    return 0;
}
