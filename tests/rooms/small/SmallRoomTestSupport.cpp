#include "SmallRoomTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/rtc/sim/SimScenario.h"
#include "net/packages/OfflineLessonResManager.h"
#include "web/whiteboard/Whiteboard.h"

#include "ZmTestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

void SmallRoomTest::setUpLesson(const QString& language, const QString& webMode)
{
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.accountType = 1;
    data->launch.userId = QString::number(kPupilId);
    data->launch.token = QStringLiteral("lesson-token");
    data->launch.appType = AppType_JoinClass;
    data->launch.teachType = 2;
    data->launch.classType = 2;
    data->launch.uiType = 2;
    data->launch.language = language;
    data->launch.webMode = webMode;
    data->lesson = LessonInfo();
    data->lesson.lessonId = kLessonId;
    data->lesson.periodId = QStringLiteral("20240611093");
    data->enteredClass = false;
    data->clearUsers();
}

bool SmallRoomTest::installOfflinePage()
{
    const QString page = ConfigManager::instance()->getOfflineRoomPage();
    if (page.isEmpty() || !QDir().mkpath(QFileInfo(page).path()))
        return false;
    for (const char* name : {"vroom.html", "boardpage.js"}) {
        const QString target = QFileInfo(page).path() + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        if (!QFile::copy(ZmTest::sourceDir() + QStringLiteral("/web/offline/vroom/") + QLatin1String(name), target))
            return false;
    }
    return true;
}

bool SmallRoomTest::makeLessonFolder(const QString& lessonId)
{
    return QDir().mkpath(OfflineLessonResManager::offlineLessonDir() + QLatin1Char('/') + lessonId);
}

bool SmallRoomTest::removeLessonFolder(const QString& lessonId)
{
    return QDir(OfflineLessonResManager::offlineLessonDir() + QLatin1Char('/') + lessonId).removeRecursively();
}

SimScenario SmallRoomTest::lessonScenario()
{
    SimScenario scenario = SimScenario::defaults();
    SimEvent teacher;
    teacher.type = SimEvent::UserJoined;
    teacher.uid = kTeacherId;
    teacher.video = true;
    scenario.events.push_back(teacher);
    return scenario;
}

QStringList SmallRoomTest::pageMessages(const QStringList& logLines, const QString& key)
{
    const QString marker = kPageCall + QStringLiteral("passMessage ");
    const QString keyText = QStringLiteral("\"key\":\"%1\"").arg(key);
    QStringList found;
    for (const QString& line : logLines) {
        const int at = line.indexOf(marker);
        if (at >= 0 && line.indexOf(keyText, at) >= 0)
            found << line.mid(at + marker.size());
    }
    return found;
}

QStringList SmallRoomTest::messagesOnPage(Whiteboard* board, const QString& key)
{
    auto* view = board ? board->findChild<QWebEngineView*>(QStringLiteral("web_view")) : nullptr;
    if (!view)
        return {};
    const QString script =
        QStringLiteral("boardFixture.calls.filter(function (call) { return call.indexOf('passMessage ') === 0; })"
                       ".map(function (call) { return call.slice(12); })"
                       ".filter(function (text) { return JSON.parse(text).key === '%1'; })")
            .arg(key);
    // The answer may come after the wait has given up: it is kept apart from this call's variables.
    const auto answer = std::make_shared<QVariant>();
    view->page()->runJavaScript(
        script, [answer](const QVariant& result) { *answer = result.isValid() ? result : QVariantList(); });
    if (!QTest::qWaitFor([&answer] { return answer->isValid(); }, ZmTest::kWaitMs))
        return {};
    QStringList messages;
    for (const QVariant& message : answer->toList())
        messages << message.toString();
    return messages;
}
