#include "PublicRoomTestSupport.h"

#include "EntryTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/sim/SimRtcEngine.h"
#include "rooms/public/PublicClassRoom.h"
#include "web/whiteboard/Whiteboard.h"

#include <QAbstractButton>
#include <QTest>

namespace PublicRoomTest {

bool RoomFixture::start()
{
    if (m_sim.isRunning())
        return true;
    if (!m_sim.start()) {
        m_error = m_sim.errorString();
        return false;
    }
    ConfigManager::instance();
    Whiteboard::setStopAllWaitForTesting(0);
    return true;
}

bool RoomFixture::prepare(int accountType)
{
    if (!m_sim.reset())
        return false;
    m_sim.pointUrlConfig();
    setUpEntryLesson(accountType);
    AppGlobalData* data = AppGlobalData::instance();
    data->launch.teachType = 3;
    data->launch.uiType = 3;
    data->teacherPresent = false;
    data->teacherAudioMuted = false;
    data->screenShareOn = false;
    m_rtc = std::make_unique<RtcTest::TracedScenario>();
    m_rtc->use();
    for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
        ConfigManager::instance()->ini_RemoveParam(key);
    return true;
}

PublicClassRoom* RoomFixture::open()
{
    m_room = new PublicClassRoom;
    m_room->showRoom();
    return m_room;
}

bool RoomFixture::waitEntered(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_room && m_room->hasEntered(); }, timeoutMs);
}

PublicClassRoom* RoomFixture::enter()
{
    open();
    return waitEntered() ? m_room.data() : nullptr;
}

void RoomFixture::close()
{
    delete m_room.data();
    ClassMsgEngine::destroyInstance();
    ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
}

SimRtcEngine* RoomFixture::engine() const
{
    return m_room && m_room->channel()->engine() ? SimRtcEngine::from(m_room->channel()->engine()) : nullptr;
}

QList<QJsonObject> RoomFixture::sent(int tag)
{
    QList<QJsonObject> messages;
    for (const QJsonValue& frame : m_sim.messageFrames(QStringLiteral("text"))) {
        const QJsonObject message = frame.toObject().value(QStringLiteral("json")).toObject();
        if (tag == 0 || message.value(QStringLiteral("messageTag")).toInt() == tag)
            messages << message;
    }
    return messages;
}

QList<QJsonObject> RoomFixture::waitForSent(int tag, int count, int timeoutMs)
{
    QList<QJsonObject> tagged;
    // What there is when the time runs out is the answer too.
    (void)QTest::qWaitFor(
        [&] {
            tagged = sent(tag);
            return tagged.size() >= count;
        },
        timeoutMs);
    return tagged;
}

bool RoomFixture::pushFromTeacher(int tag, const QJsonObject& fields)
{
    QJsonObject message{{"messageTag", tag},    {"teacherId", kTeacherId},   {"role", 1},
                        {"userId", kTeacherId}, {"periodId", 20240611093.0}, {"p", 6}};
    for (auto field = fields.begin(); field != fields.end(); ++field)
        message.insert(field.key(), field.value());
    return m_sim.pushMessage(QJsonObject{{"json", message}}) > 0;
}

QStringList RoomFixture::deviceReports()
{
    QStringList reports;
    for (const QJsonValue& entry : m_sim.numberedRequests(QStringLiteral("10000204"))) {
        const QJsonObject request = entry.toObject();
        reports << ZmTest::Simulator::paramOf(request, QStringLiteral("deviceType")) + QLatin1Char(' ') +
                       ZmTest::Simulator::paramOf(request, QStringLiteral("deviceStatus"));
    }
    return reports;
}

int RoomFixture::pageLoads()
{
    int loads = 0;
    for (const QJsonValue& entry : m_sim.requests(QStringLiteral("/pages/whiteboard/"))) {
        if (!entry.toObject()
                 .value(QStringLiteral("path"))
                 .toString()
                 .startsWith(QLatin1String("/pages/whiteboard/playback")))
            ++loads;
    }
    return loads;
}

void press(QWidget* window, const char* buttonName)
{
    if (auto* button = window->findChild<QAbstractButton*>(QLatin1String(buttonName)))
        button->click();
    else
        qWarning() << "press: no button" << buttonName << "in" << window;
}

} // namespace PublicRoomTest
