// The class message protocol against the simulator's message server: the envelope each sender puts on the wire,
// what every received tag and sub-tag turns into, the teacher's answers to a pupil who enters, talk lists.
#include "ClassMsgTestSupport.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"
#include "live/messages/StudentMsgInterface.h"
#include "live/messages/TeacherMsgInterface.h"

#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <functional>

using ZmTest::Simulator;

namespace {

// Makes the client show that everything pushed before it was handled.
const char kSentinelFrame[] = R"({"messageTag":20020002,"teacherId":-77,"userId":-77})";
const char kSentinelLine[] = "openMicrophone(-77,-77)";

QJsonObject frameJson(const QJsonValue& frame)
{
    return frame.toObject().value("json").toObject();
}

} // namespace

class TestClassMsgProtocol : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    ResultReceiver m_receiver;
    InterfaceSignalLog m_signals;

    ClassMsgEngine_Imp* engine() { return qobject_cast<ClassMsgEngine_Imp*>(ClassMsgEngine::instance()); }

    // Pushes frames, then the sentinel, and returns the signal lines the frames caused.
    QStringList signalsFor(const QList<QJsonObject>& pushes)
    {
        m_signals.lines.clear();
        for (const QJsonObject& push : pushes) {
            if (m_sim.pushMessage(push) != 1)
                return {QStringLiteral("push failed")};
        }
        if (m_sim.pushMessage(QJsonObject{{"text", kSentinelFrame}}) != 1)
            return {QStringLiteral("push failed")};
        if (!QTest::qWaitFor([this] { return m_signals.lines.contains(kSentinelLine); }, ZmTest::kWaitMs))
            return {QStringLiteral("sentinel never arrived")};
        QStringList caused = m_signals.lines;
        caused.removeAll(kSentinelLine);
        return caused;
    }

    // The client's frames after the pushes were handled: ends them with a raise-hand-timeout of its own.
    QJsonArray framesAfter(const QList<QJsonObject>& pushes)
    {
        const QStringList handled = signalsFor(pushes);
        if (handled.contains("push failed") || handled.contains("sentinel never arrived"))
            return {};
        ClassMsgEngine::getStudentMsgInterface()->sendRaiseHandTimeout();
        QJsonArray frames = waitForTextFrames(ClassMsgTag_RaiseHandTimeout);
        if (!frames.isEmpty())
            frames.removeLast();
        return frames;
    }

    // Every text frame so far, once the last one has the given tag.
    QJsonArray waitForTextFrames(int lastTag)
    {
        QJsonArray frames;
        (void)QTest::qWaitFor(
            [&] {
                frames = m_sim.messageFrames("text");
                return !frames.isEmpty() && frameJson(frames.last()).value("messageTag").toInt() == lastTag;
            },
            ZmTest::kWaitMs);
        return frames;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        ConfigManager::instance();
        m_sim.pointUrlConfig();
        setUpLesson();
        QVERIFY(ClassMsgEngine::createInstance(&m_receiver, "1onSigMsgEngineConnectResult(int)"));
        QTRY_COMPARE(m_receiver.results, QList<int>{0});
        m_signals.attach();
    }

    void cleanupTestCase() { ClassMsgEngine::destroyInstance(); }

    void init()
    {
        QVERIFY(m_sim.reset());
        setUpLesson();
    }

    void sendersEnvelope_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("expected"); // JSON array of the frames, messageId left out

        const QString pupil = R"("token":"lesson-token","periodId":20240611093,"teacherId":300451,"role":0,)"
                              R"("userId":100234,"p":6)";
        const QString teacher = R"("token":"lesson-token","periodId":20240611093,"teacherId":300451,"role":1,)"
                                R"("userId":300451,"p":6)";
        const auto frames = [](const QString& envelope, const QStringList& parts) {
            QStringList items;
            for (const QString& part : parts)
                items << "{" + envelope + part + "}";
            return "[" + items.join(',') + "]";
        };
        QTest::newRow("pupil enters") << 1 << "student.enter" << frames(pupil, {R"(,"messageTag":10010001)"});
        QTest::newRow("pupil leaves") << 1 << "student.leave" << frames(pupil, {R"(,"messageTag":10010002,"type":1)"});
        QTest::newRow("pupil raises a hand")
            << 1 << "student.raiseHand" << frames(pupil, {R"(,"messageTag":10020001)"});
        QTest::newRow("pupil microphone on")
            << 1 << "student.microphoneOn" << frames(pupil, {R"(,"messageTag":10020003)"});
        QTest::newRow("pupil microphone off")
            << 1 << "student.microphoneOff" << frames(pupil, {R"(,"messageTag":10020004)"});
        QTest::newRow("pupil hand countdown ended")
            << 1 << "student.raiseHandTimeout" << frames(pupil, {R"(,"messageTag":10020005)"});
        QTest::newRow("auditor sends role -1")
            << 3 << "student.enter"
            << R"([{"token":"lesson-token","periodId":20240611093,"teacherId":300451,"role":-1,"userId":100234,"p":6,"messageTag":10010001}])";
        QTest::newRow("teacher enters, then its microphone state")
            << 2 << "teacher.enter"
            << frames(teacher,
                      {R"(,"messageTag":10010001)", R"(,"messageTag":40010001,"subTag":"teacherAudio","isMute":1)"});
        QTest::newRow("teacher ends the lesson")
            << 2 << "teacher.leaveStop" << frames(teacher, {R"(,"messageTag":10010002,"type":1)"});
        QTest::newRow("teacher leaves only")
            << 2 << "teacher.leave" << frames(teacher, {R"(,"messageTag":10010002,"type":0)"});
        QTest::newRow("award") << 2 << "teacher.award"
                               << frames(teacher, {R"(,"messageTag":40010001,"subTag":"award","toUserId":100871,)"
                                                   R"("point":1,"total":4)"});
        QTest::newRow("whiteboard control off")
            << 2 << "teacher.enableControl"
            << frames(teacher, {R"(,"messageTag":40010001,"subTag":"enableControl","toUserId":100871,"enabled":0)"});
        QTest::newRow("screen share on") << 2 << "teacher.screenShare"
                                         << frames(teacher,
                                                   {R"(,"messageTag":40010001,"subTag":"screenShare","enabled":1)"});
        QTest::newRow("teacher unmutes") << 2 << "teacher.audio"
                                         << frames(teacher,
                                                   {R"(,"messageTag":40010001,"subTag":"teacherAudio","isMute":0)"});
        QTest::newRow("open a pupil's microphone carries the pupil's id")
            << 2 << "teacher.openMicrophone"
            << R"([{"token":"lesson-token","periodId":20240611093,"teacherId":300451,"role":1,"userId":101502,"p":6,"messageTag":10020002}])";
        QTest::newRow("stop a pupil's microphone")
            << 2 << "teacher.drop" << frames(teacher, {R"(,"messageTag":40010002,"subTag":"drop","toUserId":101502)"});
    }
    void sendersEnvelope()
    {
        QFETCH(int, accountType);
        QFETCH(QString, sender);
        QFETCH(QString, expected);

        setUpLesson(accountType);
        AppGlobalData::instance()->teacherAudioMuted = true;
        const QMap<QString, std::function<void()>> senders{
            {"student.enter", [] { ClassMsgEngine::getStudentMsgInterface()->sendEnterClass(); }},
            {"student.leave", [] { ClassMsgEngine::getStudentMsgInterface()->sendLeaveClass(); }},
            {"student.raiseHand", [] { ClassMsgEngine::getStudentMsgInterface()->sendRaiseHand(); }},
            {"student.microphoneOn", [] { ClassMsgEngine::getStudentMsgInterface()->sendMicrophoneOn(); }},
            {"student.microphoneOff", [] { ClassMsgEngine::getStudentMsgInterface()->sendMicrophoneOff(); }},
            {"student.raiseHandTimeout", [] { ClassMsgEngine::getStudentMsgInterface()->sendRaiseHandTimeout(); }},
            {"teacher.enter", [] { ClassMsgEngine::getTeacherMsgInterface()->sendEnterClass(); }},
            {"teacher.leaveStop", [] { ClassMsgEngine::getTeacherMsgInterface()->sendLeaveClass(true); }},
            {"teacher.leave", [] { ClassMsgEngine::getTeacherMsgInterface()->sendLeaveClass(false); }},
            {"teacher.award", [] { ClassMsgEngine::getTeacherMsgInterface()->sendAwardPoints(100871, 1, 4); }},
            {"teacher.enableControl",
             [] { ClassMsgEngine::getTeacherMsgInterface()->sendEnableControl(100871, false); }},
            {"teacher.screenShare", [] { ClassMsgEngine::getTeacherMsgInterface()->sendScreenShare(true); }},
            {"teacher.audio", [] { ClassMsgEngine::getTeacherMsgInterface()->sendTeacherAudio(false); }},
            {"teacher.openMicrophone",
             [] { ClassMsgEngine::getTeacherMsgInterface()->sendOpenStudentMicrophone(101502); }},
            {"teacher.drop", [] { ClassMsgEngine::getTeacherMsgInterface()->sendStopStudentMicrophone(101502); }},
        };
        QVERIFY(senders.contains(sender));
        senders.value(sender)();

        const QJsonArray wanted = QJsonDocument::fromJson(expected.toUtf8()).array();
        QVERIFY(!wanted.isEmpty());
        const QJsonArray frames = m_sim.waitForMessageFrames(wanted.size(), "text");
        QCOMPARE(frames.size(), wanted.size());
        for (int i = 0; i < frames.size(); ++i) {
            bool idIsUuid = false;
            QCOMPARE(withoutMessageId(frameJson(frames.at(i)), &idIsUuid), wanted.at(i).toObject());
            QVERIFY2(idIsUuid, qPrintable(frames.at(i).toObject().value("text").toString()));
        }
        // Compact JSON: no white space outside texts.
        QVERIFY(!frames.first().toObject().value("text").toString().contains(' '));
    }

    void bodyMembersReplaceTheEnvelope()
    {
        setUpLesson(2);
        QCOMPARE(engine()->buildEnvelope("given-id", ClassMsgTag_TeacherCommand, {{"role", 9}, {"flag", true}}), 0);
        const QJsonArray frames = m_sim.waitForMessageFrames(1, "text");
        QCOMPARE(frames.size(), 1);
        const QJsonObject sent = frameJson(frames.first());
        QCOMPARE(sent.value("messageId").toString(), QString("given-id"));
        QCOMPARE(sent.value("role"), QJsonValue(9));
        QCOMPARE(sent.value("flag"), QJsonValue(1));
    }

    void receivedMessages_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("binary");
        QTest::addColumn<QStringList>("expected");

        const auto row = [](const char* name, const char* frame, const QStringList& expected, bool binary = false) {
            QTest::newRow(name) << QByteArray(frame) << binary << expected;
        };
        row("microphone opened", R"({"messageTag":20020002,"teacherId":300451,"userId":100234})",
            {"openMicrophone(300451,100234)"});
        row("microphone opened, members missing", R"({"messageTag":20020002})", {"openMicrophone(-1,-1)"});
        row("microphone opened, members of the wrong kind",
            R"({"messageTag":20020002,"teacherId":"300451","userId":true})", {"openMicrophone(-1,-1)"});
        row("ids must be whole numbers within int", R"({"messageTag":20020002,"teacherId":300451.5,"userId":1e12})",
            {"openMicrophone(-1,-1)"});
        row("a whole number written as a fraction", R"({"messageTag":20020002,"teacherId":3.00451e5,"userId":-5})",
            {"openMicrophone(300451,-5)"});
        row("teacher ends the lesson", R"({"messageTag":30010002,"role":1,"userId":300451,"type":1})",
            {"leaveClass(300451,1)"});
        row("teacher leaves only", R"({"messageTag":30010002,"role":1,"userId":300451,"type":0})",
            {"leaveClass(300451,0)"});
        row("teacher leaves, type missing", R"({"messageTag":30010002,"role":1,"userId":300451})",
            {"leaveClass(300451,0)"});
        row("a pupil left", R"({"messageTag":30010002,"role":0,"userId":100871,"type":1})", {});
        row("another teacher left", R"({"messageTag":30010002,"role":1,"userId":300452,"type":1})", {});
        row("the teacher's id without a role", R"({"messageTag":30010002,"userId":300451,"type":1})", {});
        row("a pupil entered, seen by a pupil", R"({"messageTag":30010001,"role":0,"userId":100871})", {});
        row("talk list", R"({"messageTag":30030001,"userInfoList":[{"userId":100234,"state":2}]})",
            {"talkInfoChanged()"});
        row("talk list under the enter tag", R"({"messageTag":10010001,"userInfoList":[]})", {"talkInfoChanged()"});
        row("screen share off", R"({"messageTag":40010001,"subTag":"screenShare","teacherId":300451,"enabled":0})",
            {"screenShare(300451,0)"});
        row("screen share, enabled missing", R"({"messageTag":40010001,"subTag":"screenShare"})",
            {"screenShare(-1,1)"});
        row("screen share, enabled as a JSON boolean",
            R"({"messageTag":40010001,"subTag":"screenShare","teacherId":300451,"enabled":false})",
            {"screenShare(300451,0)"});
        row("screen share, enabled as text takes the default",
            R"({"messageTag":40010001,"subTag":"screenShare","teacherId":300451,"enabled":"0"})",
            {"screenShare(300451,1)"});
        row("award",
            R"({"messageTag":40010001,"subTag":"award","teacherId":300451,"toUserId":100234,"point":1,"total":3})",
            {"award(300451,100234,1,3)"});
        row("award, members missing", R"({"messageTag":40010001,"subTag":"award"})", {"award(-1,-1,0,0)"});
        row("whiteboard control off",
            R"({"messageTag":40010001,"subTag":"enableControl","teacherId":300451,"toUserId":100234,"enabled":0})",
            {"enableControl(300451,100234,0)"});
        row("whiteboard control, enabled missing", R"({"messageTag":40010001,"subTag":"enableControl"})",
            {"enableControl(-1,-1,1)"});
        row("teacher unmuted", R"({"messageTag":40010001,"subTag":"teacherAudio","teacherId":300451,"isMute":0})",
            {"muteAudio(300451,0)"});
        row("teacher audio, isMute missing", R"({"messageTag":40010001,"subTag":"teacherAudio"})", {"muteAudio(-1,1)"});
        row("drop", R"({"messageTag":40010002,"subTag":"drop","teacherId":300451,"toUserId":100234})",
            {"stopMicrophone(300451,100234)"});
        row("drop under the other command tag", R"({"messageTag":40010001,"subTag":"drop","toUserId":100234})",
            {"stopMicrophone(-1,100234)"});
        row("screen share under the drop tag", R"({"messageTag":40010002,"subTag":"screenShare","enabled":1})",
            {"screenShare(-1,1)"});
        row("unknown sub-tag", R"({"messageTag":40010001,"subTag":"confetti","enabled":1})", {});
        row("sub-tag missing", R"({"messageTag":40010001,"enabled":1})", {});
        row("sub-tag not a text", R"({"messageTag":40010001,"subTag":5})", {});
        row("unknown tag", R"({"messageTag":99,"subTag":"award"})", {});
        row("tag as text", R"({"messageTag":"40010001","subTag":"award"})", {});
        row("no tag", R"({"subTag":"award"})", {});
        row("not JSON", "hello, class", {});
        row("a JSON array", R"([{"messageTag":40010001,"subTag":"award"}])", {});
        row("binary frame", R"({"messageTag":40010001,"subTag":"teacherAudio","isMute":1})", {"muteAudio(-1,1)"}, true);
        row("binary frame that is not UTF-8", "\xff\xfe{", {}, true);
        row("Chinese and accented names do not stop a message",
            "{\"messageTag\":40010001,\"subTag\":\"award\",\"toUserId\":100234,\"point\":1,\"total\":2,"
            "\"cnNickname\":\"\xe5\xb0\x8f\xe6\x98\x8e\",\"enNickname\":\"Zo\xc3\xab\"}",
            {"award(-1,100234,1,2)"});
    }
    void receivedMessages()
    {
        QFETCH(QByteArray, frame);
        QFETCH(bool, binary);
        QFETCH(QStringList, expected);

        const QJsonObject push = binary ? QJsonObject{{"binary_base64", QString::fromLatin1(frame.toBase64())}}
                                        : QJsonObject{{"text", QString::fromUtf8(frame)}};
        QCOMPARE(signalsFor({push}), expected);
    }

    // Callers that hand over a map of plain variants (not JSON) get the same readings.
    void dispatchMsgReadsPlainVariants_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QVariantMap>("body");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("award as ints") << int(ClassMsgTag_TeacherCommand)
                                       << QVariantMap{{"subTag", "award"},
                                                      {"teacherId", 300451},
                                                      {"toUserId", 100234},
                                                      {"point", qint64(2)},
                                                      {"total", 7.0}}
                                       << QStringList{"award(300451,100234,2,7)"};
        QTest::newRow("flag as a bool") << int(ClassMsgTag_TeacherCommand)
                                        << QVariantMap{{"subTag", "screenShare"}, {"enabled", false}}
                                        << QStringList{"screenShare(-1,0)"};
        QTest::newRow("flag as text takes the default")
            << int(ClassMsgTag_TeacherCommand) << QVariantMap{{"subTag", "teacherAudio"}, {"isMute", "0"}}
            << QStringList{"muteAudio(-1,1)"};
        QTest::newRow("id as text takes the default")
            << int(ClassMsgTag_UserLeft) << QVariantMap{{"role", 1}, {"userId", "300451"}} << QStringList{};
        QTest::newRow("talk list as a variant list")
            << int(ClassMsgTag_TalkList)
            << QVariantMap{{"userInfoList", QVariantList{QVariantMap{{"userId", 100871}, {"state", 1}}}}}
            << QStringList{"talkInfoChanged()"};
    }
    void dispatchMsgReadsPlainVariants()
    {
        QFETCH(int, tag);
        QFETCH(QVariantMap, body);
        QFETCH(QStringList, expected);

        m_signals.lines.clear();
        engine()->dispatchMsg(QString(), tag, body);
        QCOMPARE(m_signals.lines, expected);
        if (tag == ClassMsgTag_TalkList) {
            const UserInfo pupil = AppGlobalData::instance()->memberMap()->value(100871);
            QCOMPARE(pupil.talkState, 1);
            QCOMPARE(pupil.talkOrder, 1);
        }
    }

    void talkListUpdatesMembers_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("members"); // id:state:order in id order

        QTest::newRow("listed members by order, others cleared, unknown id added")
            << QByteArray(R"({"messageTag":30030001,"userInfoList":[{"userId":101502,"state":2},)"
                          R"({"userId":100234,"state":1},{"userId":555,"state":1}]})")
            << "555:1:1 100234:1:2 100871:0:-1 101502:2:3";
        QTest::newRow("no list clears everyone")
            << QByteArray(R"({"messageTag":10010001})") << "100234:0:-1 100871:0:-1 101502:0:-1";
    }
    void talkListUpdatesMembers()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, members);

        QCOMPARE(signalsFor({{{"text", QString::fromUtf8(frame)}}}), QStringList{"talkInfoChanged()"});
        QStringList found;
        const UserInfoMap* map = AppGlobalData::instance()->memberMap();
        for (auto it = map->cbegin(); it != map->cend(); ++it)
            found << QStringLiteral("%1:%2:%3").arg(it.key()).arg(it->talkState).arg(it->talkOrder);
        QCOMPARE(found.join(' '), members);
    }

    void teacherAnswersAPupilWhoEnters_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("uiType");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("answers"); // JSON array of the answers' sub-tag members

        const QByteArray listedPupil = R"({"messageTag":30010001,"role":0,"userId":100871})";
        QTest::newRow("normal room: audio, screen share, then the pupil's control")
            << 2 << 1 << listedPupil
            << R"([{"subTag":"teacherAudio","isMute":1},{"subTag":"screenShare","enabled":1},)"
               R"({"subTag":"enableControl","toUserId":100871,"enabled":0}])";
        QTest::newRow("public room: no control")
            << 2 << 3 << listedPupil
            << R"([{"subTag":"teacherAudio","isMute":1},{"subTag":"screenShare","enabled":1}])";
        QTest::newRow("a pupil the member map does not hold")
            << 2 << 1 << QByteArray(R"({"messageTag":30010001,"role":0,"userId":424242})")
            << R"([{"subTag":"teacherAudio","isMute":1},{"subTag":"screenShare","enabled":1}])";
        QTest::newRow("role missing counts as a pupil")
            << 2 << 1 << QByteArray(R"({"messageTag":30010001,"userId":100871})")
            << R"([{"subTag":"teacherAudio","isMute":1},{"subTag":"screenShare","enabled":1},)"
               R"({"subTag":"enableControl","toUserId":100871,"enabled":0}])";
        QTest::newRow("a teacher entered")
            << 2 << 1 << QByteArray(R"({"messageTag":30010001,"role":1,"userId":9})") << "[]";
        QTest::newRow("a pupil's client does not answer") << 1 << 1 << listedPupil << "[]";
    }
    void teacherAnswersAPupilWhoEnters()
    {
        QFETCH(int, accountType);
        QFETCH(int, uiType);
        QFETCH(QByteArray, frame);
        QFETCH(QString, answers);

        setUpLesson(accountType);
        AppGlobalData* data = AppGlobalData::instance();
        data->launch.uiType = uiType;
        data->teacherAudioMuted = true;
        data->screenShareOn = true;
        (*data->memberMap())[100871].controlEnabled = false;

        const QJsonArray frames = framesAfter({{{"text", QString::fromUtf8(frame)}}});
        const QJsonArray wanted = QJsonDocument::fromJson(answers.toUtf8()).array();
        QCOMPARE(frames.size(), wanted.size());
        for (int i = 0; i < frames.size(); ++i) {
            const QJsonObject sent = frameJson(frames.at(i));
            QCOMPARE(sent.value("messageTag").toInt(), int(ClassMsgTag_TeacherCommand));
            QCOMPARE(sent.value("userId").toInt(), 300451);
            const QJsonObject expected = wanted.at(i).toObject();
            for (auto it = expected.begin(); it != expected.end(); ++it)
                QCOMPARE(sent.value(it.key()), it.value());
        }
    }

    void chineseNameRoundTrip()
    {
        setUpLesson(2);
        const QString name = QString::fromUtf8("\xe5\xb0\x8f\xe6\x98\x8e Zo\xc3\xab \xc3\xa0\xc3\xbf");
        QCOMPARE(engine()->post(
                     ClassMsgTag_TeacherCommand,
                     {{"subTag", "award"}, {"toUserId", 100234}, {"point", 2}, {"total", 5}, {"enNickname", name}}),
                 0);
        const QJsonArray frames = m_sim.waitForMessageFrames(1, "text");
        QCOMPARE(frames.size(), 1);
        const QString sentText = frames.first().toObject().value("text").toString();
        QCOMPARE(frameJson(frames.first()).value("enNickname").toString(), name);

        // Back to the client as the server would forward it.
        QCOMPARE(signalsFor({{{"text", sentText}}}), QStringList{"award(300451,100234,2,5)"});
        ReceivedClassMsg received;
        QVERIFY(parseClassMsg(sentText.toUtf8(), received));
        QCOMPARE(ClassMsgBodyView(received.body()).textValue(QLatin1String("enNickname")), name);
    }
};

ZM_TEST_MAIN_CORE(TestClassMsgProtocol)
#include "tst_classmsgprotocol.moc"
