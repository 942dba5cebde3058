#include "EntryTestSupport.h"

#include "app/AppGlobalData.h"
#include "live/messages/ProblemReportQueue.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QFile>
#include <QJsonArray>

void setUpEntryLesson(int accountType)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.accountType = accountType;
    data->launch.userId = accountType == 2 ? QStringLiteral("300451")
                                           : (accountType == 1 ? QStringLiteral("100234") : QStringLiteral("100999"));
    data->launch.token = QStringLiteral("lesson-token");
    data->launch.appType = AppType_JoinClass;
    data->launch.teachType = 1;
    data->launch.classType = 1;
    data->launch.uiType = 1;
    data->lesson = LessonInfo();
    data->lesson.lessonId = QStringLiteral("880213");
    data->lesson.periodId = QStringLiteral("20240611093");
    data->clearUsers();
    data->enteredClass = false;
}

QStringList filedReports(ZmTest::Simulator& sim)
{
    ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
    QStringList filed;
    const QJsonArray requests = sim.requests(QStringLiteral("/classroom/monitor/period/device/report/callback"));
    for (const QJsonValue& entry : requests) {
        QString type;
        QString remark;
        for (const auto& field : ZmTest::Simulator::pairsOf(entry.toObject().value(QStringLiteral("form")))) {
            if (field.first == QLatin1String("problemType"))
                type = field.second;
            if (field.first == QLatin1String("remark"))
                remark = field.second;
        }
        filed << type + QLatin1Char(' ') + remark;
    }
    return filed;
}

QByteArray lessonReply(const ZmTest::Simulator& sim)
{
    QFile fixture(ZmTest::sourceDir() + QStringLiteral("/tests/sim/fixtures/restful/lesson.json"));
    if (!fixture.open(QIODevice::ReadOnly))
        return {};
    const QByteArray base = sim.baseUrl().toLatin1();
    QByteArray socketBase = base;
    socketBase.replace(0, 4, "ws");
    return fixture.readAll().replace("{{ws_base}}", socketBase).replace("{{base}}", base);
}
