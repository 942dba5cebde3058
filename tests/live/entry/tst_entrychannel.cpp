// The RTC class-entry steps against the simulated engine (channel set-up, devices, join) and a whole entry run of
// an auditor against the simulator and its message server.
#include "DialogAnswerer.h"
#include "EntryTestSupport.h"
#include "ScriptedSteps.h"

#include "app/AppGlobalData.h"
#include "app/ConfigManager.h"
#include "app/records/InitTaskParams.h"
#include "app/tasks/QRunContextManager.h"
#include "live/entry/DeviceChoice.h"
#include "live/entry/FrameObserverParam.h"
#include "live/entry/InitTask.h"
#include "live/entry/InitTaskFactory.h"
#include "live/entry/InitTaskRunner.h"
#include "live/entry/InitTask_API.h"
#include "live/entry/NormalClassEntryRoom.h"
#include "live/entry/OwedLogUpload.h"
#include "live/messages/ClassMsgEngine.h"
#include "live/messages/ProblemReportQueue.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"

#include "RtcTestSupport.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QJsonArray>

#include <atomic>
#include <memory>

using RtcTest::argOf;
using RtcTest::CountingObserver;
using RtcTest::TracedScenario;
using ZmTest::Simulator;

using Devices = QList<QPair<QString, QString>>; // (name, id)
Q_DECLARE_METATYPE(Devices)

namespace {

std::vector<SimDeviceSpec> specs(const Devices& devices, bool refuse = false)
{
    std::vector<SimDeviceSpec> made;
    for (const auto& device : devices) {
        SimDeviceSpec spec;
        spec.name = device.first.toStdString();
        spec.id = device.second.toStdString();
        spec.refuse = refuse;
        made.push_back(spec);
    }
    return made;
}

vector_device_info deviceList(const Devices& devices)
{
    vector_device_info list;
    for (const auto& device : devices)
        list.push_back(device_info{int(list.size()), device.first, device.second});
    return list;
}

const char* storedIdKey(int kind)
{
    switch (kind) {
    case Agora_CheckCamera:
        return "SelectedDeviceID/Camera";
    case Agora_CheckMicphone:
        return "SelectedDeviceID/AudioIN";
    default:
        return "SelectedDeviceID/AudioOUT";
    }
}

const char* selectCall(int kind)
{
    switch (kind) {
    case Agora_CheckCamera:
        return "videoDevices.setDevice";
    case Agora_CheckMicphone:
        return "recordingDevices.setDevice";
    default:
        return "playbackDevices.setDevice";
    }
}

} // namespace

class TestEntryChannel : public QObject
{
    Q_OBJECT

private:
    Simulator m_sim;
    std::unique_ptr<TracedScenario> m_traced;
    std::unique_ptr<AgoraChannel> m_channel;
    AgoraAudioDevice* m_audio = nullptr;
    AgoraVideoDevice* m_video = nullptr;
    s_InitTask_Params* m_block = nullptr;

    int runStep(int kind, QObject* owner = nullptr)
    {
        std::unique_ptr<InitTask> step(createInitTaskByType(kind, owner));
        return step ? step->runTaskSync(nullptr, 30) : 0;
    }

    // The trace's parameter texts that mention one of the keys.
    QStringList parametersWith(const QStringList& keys)
    {
        QStringList found;
        for (const QString& text : m_traced->parameterTexts()) {
            for (const QString& key : keys) {
                if (text.contains(key)) {
                    found << text;
                    break;
                }
            }
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        ConfigManager::instance();
    }

    void init()
    {
        QVERIFY(m_sim.reset());
        m_sim.pointUrlConfig();
        setUpEntryLesson();
        AppGlobalData::instance()->lesson.channel = QStringLiteral("20240611093");
        AppGlobalData::instance()->lesson.channelKey = QStringLiteral("channel-key");
        m_traced = std::make_unique<TracedScenario>();
        m_traced->use();
        m_channel = std::make_unique<AgoraChannel>();
        m_block = createInitTaskParams(InitCase_ClassEntry, m_channel.get(), &m_audio, &m_video, nullptr);
        for (const char* key : {"SelectedDeviceID/Camera", "SelectedDeviceID/AudioIN", "SelectedDeviceID/AudioOUT"})
            ConfigManager::instance()->ini_RemoveParam(key);
    }

    void cleanup()
    {
        freeInitTaskParams(m_block);
        delete m_audio;
        m_audio = nullptr;
        delete m_video;
        m_video = nullptr;
        ClassMsgEngine::destroyInstance();
        m_channel->uninitialize();
        m_channel.reset();
        QTRY_VERIFY(!QRunContextManager::instance()->findRunContext(kApiStepRunContext));
        QVERIFY(waitForOwedLogUploads(ZmTest::kWaitMs));
        ProblemReportQueue::waitForIdle(ZmTest::kWaitMs);
    }

    void channelSetUp_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<int>("mode"); // -1: no extend parameter
        QTest::addColumn<int>("teachType");
        QTest::addColumn<int>("classType");
        QTest::addColumn<int>("clientRole"); // 0: not set, 1 broadcaster, 2 audience
        QTest::addColumn<int>("profile");    // the step's video profile; -1: the step sets none
        QTest::addColumn<bool>("localVideoOff");

        QTest::newRow("pupil, no mode given") << 1 << -1 << 1 << 1 << 0 << -1 << false;
        QTest::newRow("auditor in mode 0") << 3 << 0 << 1 << 1 << 0 << -1 << false;
        QTest::newRow("pupil in mode 1") << 1 << 1 << 1 << 1 << 1 << 20 << false;
        QTest::newRow("small-group pupil in mode 1") << 1 << 1 << 2 << 3 << 1 << 0 << false;
        QTest::newRow("small-group pupil of class type 2") << 1 << 1 << 2 << 2 << 1 << 20 << false;
        QTest::newRow("teacher of a small group in mode 1") << 2 << 1 << 2 << 3 << 1 << 20 << false;
        QTest::newRow("auditor in mode 1 does not publish") << 3 << 1 << 2 << 3 << 2 << -1 << true;
    }
    void channelSetUp()
    {
        QFETCH(int, accountType);
        QFETCH(int, mode);
        QFETCH(int, teachType);
        QFETCH(int, classType);
        QFETCH(int, clientRole);
        QFETCH(int, profile);
        QFETCH(bool, localVideoOff);
        setUpEntryLesson(accountType);
        AppGlobalData::instance()->launch.teachType = teachType;
        AppGlobalData::instance()->launch.classType = classType;
        if (mode >= 0)
            m_block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_ChannelMode, mode);

        QCOMPARE(runStep(Agora_InitChannel), 1);
        QVERIFY(m_channel->engine());
        const QStringList calls = m_traced->callNames();
        const int profileAt = calls.indexOf("setChannelProfile");
        QVERIFY(profileAt > calls.indexOf("initialize"));
        QCOMPARE(argOf(m_traced->calls("setChannelProfile").first(), "profile").toInt(), qMax(mode, 0));
        const QList<QJsonObject> roles = m_traced->calls("setClientRole");
        QCOMPARE(roles.size(), clientRole ? 1 : 0);
        if (clientRole)
            QCOMPARE(argOf(roles.first(), "role").toInt(), clientRole);
        const int lastProfileAt = calls.lastIndexOf("setVideoProfile");
        QCOMPARE(lastProfileAt > profileAt, profile >= 0);
        if (profile >= 0)
            QCOMPARE(argOf(m_traced->calls("setVideoProfile").last(), "profile").toInt(), profile);

        QCOMPARE(parametersWith({"monitorClient"}),
                 accountType == 3 ? QStringList{"setBool che.video.monitorClient true"} : QStringList{});
        QCOMPARE(parametersWith({"dual_stream_mode"}),
                 QStringList{"setParameters {\"rtc.dual_stream_mode\":false,\"che.video.enableLowBitRateStream\":0}"});
        QCOMPARE(parametersWith({"rtc.log_file"}),
                 QStringList{"setString rtc.log_file " + ConfigManager::instance()->getAgoraLogPath()});
        QCOMPARE(parametersWith({"volume_indication"}).size(), 1);
        QCOMPARE(parametersWith({"che.video.local.capture\":false"}).size(), localVideoOff ? 1 : 0);
        // No observer was handed over: none is registered.
        QVERIFY(m_traced->calls("registerVideoFrameObserver").isEmpty());
    }

    void channelThatCannotStart()
    {
        m_traced->scenario.results["initialize"] = {-1};
        m_traced->use();
        QCOMPARE(runStep(Agora_InitChannel), -1);
        QVERIFY(!m_channel->engine());
    }

    // The observer travels as the pointer itself or as a pointer-sized integer; a 32-bit integer cannot carry it.
    void frameObserverIsRegistered_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("registered");
        QTest::newRow("pointer type") << "pointer" << true;
        QTest::newRow("pointer-sized integer") << "qulonglong" << true;
        QTest::newRow("32-bit integer") << "uint" << false;
    }
    void frameObserverIsRegistered()
    {
        QFETCH(QString, form);
        QFETCH(bool, registered);
        CountingObserver observer;
        if (form == "pointer")
            setFrameObserverParam(m_block, &observer);
        else if (form == "qulonglong")
            m_block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_VideoFrameObserver,
                                          QVariant::fromValue(qulonglong(quintptr(&observer))));
        else
            m_block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_VideoFrameObserver,
                                          QVariant::fromValue(uint(quintptr(&observer))));
        m_block->extendParams_.insert(EXTEND_PARAM_AgoraEngine_ChannelMode, 1);

        QCOMPARE(runStep(Agora_InitChannel), 1);
        QCOMPARE(m_traced->calls("registerVideoFrameObserver").size(), registered ? 1 : 0);
        if (registered) {
            QCOMPARE(runStep(Agora_JoinChannel), 1);
            QTRY_VERIFY(observer.frames > 0);
        }
        m_channel->uninitialize(); // detaches the observer before it goes
    }

    void deviceChoice_data()
    {
        QTest::addColumn<Devices>("devices");
        QTest::addColumn<QString>("storedId");
        QTest::addColumn<QString>("chosenId");
        QTest::addColumn<bool>("notRecommended");

        const Devices two{{"Cam A", "a"}, {"Cam B", "b"}};
        QTest::newRow("no stored id: the first") << two << ""
                                                 << "a" << false;
        QTest::newRow("the stored one") << two << "b"
                                        << "b" << false;
        QTest::newRow("ids compare exactly") << two << "B"
                                             << "a" << false;
        QTest::newRow("no stored id: the first recommended")
            << Devices{{"OBS Virtual Camera", "obs"}, {"Cam B", "b"}, {"Cam C", "c"}} << ""
            << "b" << false;
        QTest::newRow("the stored one not recommended: another")
            << Devices{{"OBS Virtual Camera", "obs"}, {"Cam B", "b"}} << "obs"
            << "b" << false;
        QTest::newRow("all not recommended: the first in list order")
            << Devices{{"OBS Virtual Camera", "obs"}, {"ManyCam Virtual Webcam", "many"}} << "many"
            << "obs" << true;
        QTest::newRow("a stored one that is gone") << two << "gone"
                                                   << "a" << false;
    }
    void deviceChoice()
    {
        QFETCH(Devices, devices);
        QFETCH(QString, storedId);
        QFETCH(QString, chosenId);
        QFETCH(bool, notRecommended);
        const DeviceChoice choice =
            chooseDevice(deviceList(devices), storedId, [](const QString& name) { return name.contains("Virtual"); });
        QVERIFY(choice.found);
        QCOMPARE(choice.device.id, chosenId);
        QCOMPARE(choice.notRecommended, notRecommended);
        QVERIFY(!chooseDevice({}, storedId, {}).found);
    }

    // The device steps against the engine's devices and the class service's not-recommended lists.
    void deviceSteps_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Devices>("devices");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QString>("storedId");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("selectedId");
        QTest::addColumn<int>("notRecommended");

        QTest::newRow("camera: the first recommended")
            << int(Agora_CheckCamera) << Devices{{"OBS Virtual Camera", "obs"}, {"USB Camera", "usb"}} << false << ""
            << 1 << "usb" << 0;
        QTest::newRow("camera: the stored one")
            << int(Agora_CheckCamera) << Devices{{"USB Camera", "usb"}, {"Desk Camera", "desk"}} << false << "desk" << 1
            << "desk" << 0;
        QTest::newRow("camera: every one not recommended")
            << int(Agora_CheckCamera) << Devices{{"XSplit VCam", "x"}, {"OBS Virtual Camera", "obs"}} << false << "obs"
            << 1 << "x" << 1;
        QTest::newRow("camera: none") << int(Agora_CheckCamera) << Devices{} << false << "" << -1 << "" << 0;
        QTest::newRow("camera: selection refused")
            << int(Agora_CheckCamera) << Devices{{"USB Camera", "usb"}} << true << "" << -1 << "usb" << 0;
        QTest::newRow("microphone: the stored one")
            << int(Agora_CheckMicphone) << Devices{{"Stereo Mix", "mix"}, {"Headset", "head"}, {"Array", "array"}}
            << false << "array" << 1 << "array" << 0;
        QTest::newRow("microphone: every one not recommended")
            << int(Agora_CheckMicphone) << Devices{{"Stereo Mix", "mix"}, {"CABLE Output", "cable"}} << false << "" << 1
            << "mix" << 2;
        QTest::newRow("speaker: every one not recommended")
            << int(Agora_CheckSpeaker) << Devices{{"CABLE Input", "cable"}} << false << "" << 1 << "cable" << 4;
        QTest::newRow("speaker: none") << int(Agora_CheckSpeaker) << Devices{} << false << "" << -1 << "" << 0;
    }
    void deviceSteps()
    {
        QFETCH(int, kind);
        QFETCH(Devices, devices);
        QFETCH(bool, refuse);
        QFETCH(QString, storedId);
        QFETCH(int, result);
        QFETCH(QString, selectedId);
        QFETCH(int, notRecommended);
        SimScenario& scenario = m_traced->scenario;
        (kind == Agora_CheckCamera     ? scenario.cameras
         : kind == Agora_CheckMicphone ? scenario.microphones
                                       : scenario.speakers) = specs(devices, refuse);
        m_traced->use();
        if (!storedId.isEmpty())
            ConfigManager::instance()->ini_SetParam_String(storedIdKey(kind), storedId.toUtf8());
        QCOMPARE(runStep(Agora_InitChannel), 1);

        QCOMPARE(runStep(kind), result);
        QCOMPARE(m_block->notRecommendDevices_, notRecommended);
        QVERIFY(kind == Agora_CheckCamera ? m_video != nullptr : m_audio != nullptr);
        const QList<QJsonObject> selections = m_traced->calls(selectCall(kind));
        QCOMPARE(selections.size(), selectedId.isEmpty() ? 0 : 1);
        if (!selectedId.isEmpty()) {
            QCOMPARE(argOf(selections.first(), "deviceId").toString(), selectedId);
            // A selection that took is stored for the next lesson.
            QByteArray stored;
            ConfigManager::instance()->ini_GetParam_String(storedIdKey(kind), stored);
            QCOMPARE(QString::fromUtf8(stored), result == 1 ? selectedId : storedId);
        }
    }

    // Each device step makes a fresh manager; the speaker step replaces the microphone step's in the audio slot.
    void deviceStepsReplaceTheManagers()
    {
        QCOMPARE(runStep(Agora_InitChannel), 1);
        QCOMPARE(runStep(Agora_CheckMicphone), 1);
        const AgoraAudioDevice* microphones = m_audio;
        QCOMPARE(m_traced->calls("IAudioDeviceManager.release").size(), 0);
        QCOMPARE(runStep(Agora_CheckSpeaker), 1);
        QVERIFY(m_audio && m_audio != microphones);
        QCOMPARE(m_traced->calls("IAudioDeviceManager.release").size(), 1);
        QCOMPARE(runStep(Agora_CheckCamera), 1);
        QCOMPARE(runStep(Agora_CheckCamera), 1);
        QCOMPARE(m_traced->calls("IVideoDeviceManager.release").size(), 1);
    }

    void join_data()
    {
        QTest::addColumn<int>("accountType");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("filed");
        QTest::newRow("pupil") << 1 << false << 1 << QStringList{};
        QTest::newRow("auditor, camera off and muted") << 3 << false << 1 << QStringList{};
        QTest::newRow("refused join files report 5") << 1 << true << -1 << QStringList{"5 JOINCHANNEL Failed"};
    }
    void join()
    {
        QFETCH(int, accountType);
        QFETCH(bool, refused);
        QFETCH(int, result);
        QFETCH(QStringList, filed);
        setUpEntryLesson(accountType);
        AppGlobalData::instance()->lesson.channel = QStringLiteral("20240611093");
        AppGlobalData::instance()->lesson.channelKey = QStringLiteral("channel-key");
        if (refused)
            m_traced->scenario.results["joinChannel"] = {-17};
        m_traced->use();
        QCOMPARE(runStep(Agora_InitChannel), 1);

        QCOMPARE(runStep(Agora_JoinChannel), result);
        const QList<QJsonObject> joins = m_traced->calls("joinChannel");
        QCOMPARE(joins.size(), 1);
        QCOMPARE(argOf(joins.first(), "channelId").toString(), QString("20240611093"));
        QCOMPARE(argOf(joins.first(), "uid").toInt(), AppGlobalData::instance()->userIdAsInt());
        const QStringList muting = parametersWith({"mute_me", "che.video.local.capture"});
        QCOMPARE(muting.size(), accountType == 3 ? 2 : 0);
        if (accountType == 3) {
            // Both before the join.
            const QStringList calls = m_traced->callNames();
            QVERIFY(calls.lastIndexOf("setParameters") < calls.indexOf("joinChannel"));
        }
        QCOMPARE(filedReports(m_sim), filed);
    }

    // An auditor's whole entry: no camera, microphone or whiteboard step; 128 after 32, passing over 1024.
    void auditorEntryRun()
    {
        setUpEntryLesson(3);
        FakeNormalRoom room;
        StepRecorder recorder;
        DialogAnswerer answerer;
        QList<int> kinds{1, 16, 512, 8, 64, 32, 1024, 128};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, &room, 30), 0);
        QCOMPARE(kinds, QList<int>{1024});
        QCOMPARE(recorder.attempts, QList<int>({1, 16, 512, 8, 64, 32, 128}));
        QCOMPARE(recorder.results, QList<int>({1, 1, 1, 1, 1, 1, 1}));
        QVERIFY(answerer.retryTitles.isEmpty());
        QCOMPARE(room.wired, 1);
        // The lesson reply named the channel and the message server; the auditor joined it watching only.
        QCOMPARE(argOf(m_traced->calls("joinChannel").first(), "channelId").toString(), QString("20240611093"));
        QVERIFY(parametersWith({"monitorClient"}).size() == 1);
        QVERIFY(ClassMsgEngine::instance());
        QCOMPARE(m_sim.messageConnections("open").first().toObject().value("path").toString(), QString("/class/ws"));
        QVERIFY(AppGlobalData::instance()->enteredClass);
        QCOMPARE(int(m_block->currentType_), 128);
        QVERIFY(m_audio && !m_video);
    }

    // A selected device unplugged: the room re-runs the device steps; a camera that cannot be selected any more
    // ends in the error dialog with the unplugged run's code.
    void deviceUnpluggedRun()
    {
        freeInitTaskParams(m_block);
        m_traced->scenario.cameras = specs({{"USB Camera", "usb"}}, true);
        m_traced->use();
        m_block = createInitTaskParams(InitCase_DeviceUnplugged, m_channel.get(), &m_audio, &m_video, nullptr);
        QCOMPARE(m_channel->initialize(), 0);
        DialogAnswerer answerer({DialogAnswerer::Retry, DialogAnswerer::Retry, DialogAnswerer::Retry});
        QList<int> kinds{2, 4, 8};

        QCOMPARE(runTasks_awaitEnd(nullptr, &kinds, nullptr, 30), -3);
        QCOMPARE(kinds, QList<int>({2, 4, 8}));
        QCOMPARE(answerer.retryTitles.size(), 3);
        QCOMPARE(answerer.errorLines, QStringList{"or contact your CR [Code: -1004]"});
    }
};

ZM_TEST_MAIN(TestEntryChannel)
#include "tst_entrychannel.moc"
