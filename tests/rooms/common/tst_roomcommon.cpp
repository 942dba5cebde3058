// What the class rooms share: the one dialog a room holds (replaced, refused during a run, never finished twice; a
// prompt that stays until it is answered, with a notice waiting behind it), the processor-overload count, and the
// selected devices (unplug detection, re-selection after the re-check, the settings dialog's changes, the
// not-recommended names).
#include "rooms/common/CpuOverloadCounter.h"
#include "rooms/common/RoomDevices.h"
#include "rooms/common/RoomModalDialog.h"

#include "app/ConfigManager.h"
#include "live/rtc/AgoraAudioDevice.h"
#include "live/rtc/AgoraChannel.h"
#include "live/rtc/AgoraVideoDevice.h"
#include "ui/common/CancelOkWarningDlg.h"

#include "RtcTestSupport.h"
#include "ZmTestMain.h"

#include <QLabel>
#include <QPointer>

#include <memory>

using namespace RtcTest;

namespace {

const char* const kKeys[] = {RoomDevices::kCameraKey, RoomDevices::kMicrophoneKey, RoomDevices::kSpeakerKey};

void store(const char* key, const QString& value)
{
    ConfigManager::instance()->ini_SetParam_String(key, value.toUtf8());
}

// A dialog that counts how often its action ran.
struct CountedDialog
{
    QPointer<CancelOkWarningDlg> dialog = new CancelOkWarningDlg;
    std::shared_ptr<QList<int>> results = std::make_shared<QList<int>>();

    CountedDialog()
    {
        auto results = this->results;
        dialog->setDoneCallback([results](QObject*, int result) { results->append(result); }, nullptr);
    }
};

} // namespace

class TestRoomCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ConfigManager::instance(); }

    void init()
    {
        for (const char* key : kKeys)
            ConfigManager::instance()->ini_RemoveParam(key);
    }

    // A new dialog closes the one held (its action runs once, with 0) and deletes it; null only closes.
    void heldDialogIsReplaced()
    {
        RoomModalDialog holder([] { return false; });
        CountedDialog first;
        QVERIFY(holder.open(first.dialog));
        QVERIFY(first.dialog->isVisible());
        QVERIFY(holder.set(first.dialog)); // the same again: nothing changes
        QVERIFY(first.dialog->isVisible());

        CountedDialog second;
        QVERIFY(holder.open(second.dialog));
        QCOMPARE(*first.results, QList<int>{0});
        QTRY_VERIFY(first.dialog.isNull());
        QCOMPARE(holder.current(), second.dialog.data());

        QVERIFY(holder.set(nullptr));
        QCOMPARE(*second.results, QList<int>{0});
        QTRY_VERIFY(second.dialog.isNull());
        QVERIFY(!holder.current());
    }

    // A dialog the user has answered stays held until the next one, which does not answer it a second time.
    void answeredDialogIsNotAnsweredAgain()
    {
        RoomModalDialog holder([] { return false; });
        CountedDialog answered;
        QVERIFY(holder.open(answered.dialog));
        answered.dialog->done(CancelOkWarningDlg::ResultOk);
        QVERIFY(holder.set(nullptr));
        QCOMPARE(*answered.results, QList<int>{CancelOkWarningDlg::ResultOk});
        QTRY_VERIFY(answered.dialog.isNull());
    }

    // While a class-entry run is in progress a dialog is refused unseen and deleted; the one held closes all
    // the same. A notice waits for the run's end.
    void refusedWhileTheEntryRuns()
    {
        bool running = false;
        RoomModalDialog holder([&running] { return running; });
        CountedDialog held;
        QVERIFY(holder.open(held.dialog));
        running = true;

        CountedDialog refused;
        QVERIFY(!holder.open(refused.dialog));
        QVERIFY(!refused.dialog->isVisible());
        QVERIFY(refused.results->isEmpty());
        QTRY_VERIFY(refused.dialog.isNull());
        QTRY_VERIFY(held.dialog.isNull());
        QVERIFY(!holder.current());

        QWidget parent;
        QVERIFY(holder.openNotice(&parent, "CPU overload, please close other software programs.", "Get it"));
        QCoreApplication::processEvents();
        QVERIFY(parent.findChildren<CancelOkWarningDlg*>().isEmpty());

        running = false;
        holder.runEnded();
        QTRY_VERIFY(holder.current());
        auto* notice = qobject_cast<CancelOkWarningDlg*>(holder.current());
        QVERIFY(notice && notice->isVisible());
        QCOMPARE(notice->findChild<QWidget*>("cancelBtn")->isVisible(), false);
        holder.set(nullptr);
    }

    // A prompt (its answer leaves the class or retries its entry) is not displaced: a notice waits behind it and
    // shows once it is answered, unless the room is leaving by then; other dialogs are refused. Everything else
    // follows the replace rule.
    void promptsAndNotices_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("seen"); // the texts of the dialogs shown afterwards
        QTest::addColumn<QList<int>>("promptAnswers");
        const QList<int> unanswered;
        const QList<int> ok{CancelOkWarningDlg::ResultOk};
        QTest::newRow("notice over a notice") << QStringList{"notice A", "notice B"} << QStringList{"B"} << unanswered;
        QTest::newRow("notice over a question")
            << QStringList{"question", "notice A"} << QStringList{"A"} << unanswered;
        QTest::newRow("prompt over a notice")
            << QStringList{"notice A", "prompt"} << QStringList{"prompt"} << unanswered;
        QTest::newRow("notice behind the prompt")
            << QStringList{"prompt", "notice A"} << QStringList{"prompt"} << unanswered;
        QTest::newRow("notice after the answer")
            << QStringList{"prompt", "notice A", "answer"} << QStringList{"A"} << ok;
        QTest::newRow("the newer notice waits")
            << QStringList{"prompt", "notice A", "notice B", "answer"} << QStringList{"B"} << ok;
        QTest::newRow("answered by leaving")
            << QStringList{"prompt", "notice A", "leave", "answer"} << QStringList{} << ok;
        QTest::newRow("question refused") << QStringList{"prompt", "question"} << QStringList{"prompt"} << unanswered;
        QTest::newRow("closing keeps the prompt")
            << QStringList{"prompt", "close", "notice A"} << QStringList{"prompt"} << unanswered;
        QTest::newRow("prompt during a run") << QStringList{"run", "prompt"} << QStringList{"prompt"} << unanswered;
        QTest::newRow("answered during a run")
            << QStringList{"run", "prompt", "notice A", "answer"} << QStringList{} << ok;
        QTest::newRow("answered, then the run ends")
            << QStringList{"run", "prompt", "notice A", "answer", "run end"} << QStringList{"A"} << ok;
        QTest::newRow("notice during a run") << QStringList{"run", "notice A"} << QStringList{} << unanswered;
        QTest::newRow("notice after the run")
            << QStringList{"run", "notice A", "notice B", "run end"} << QStringList{"B"} << unanswered;
        QTest::newRow("run ended by leaving")
            << QStringList{"run", "notice A", "leave", "run end"} << QStringList{} << unanswered;
        QTest::newRow("prompt over a prompt")
            << QStringList{"prompt", "prompt"} << QStringList{"prompt"} << QList<int>{0};
        QTest::newRow("notice while leaving") << QStringList{"leave", "notice A"} << QStringList{} << unanswered;
        QTest::newRow("the room goes") << QStringList{"prompt", "notice A", "close all"} << QStringList{}
                                       << QList<int>{0};
    }
    void promptsAndNotices()
    {
        QFETCH(QStringList, events);
        QFETCH(QStringList, seen);
        QFETCH(QList<int>, promptAnswers);
        bool running = false;
        bool leaving = false;
        RoomModalDialog holder([&running] { return running; }, [&leaving] { return leaving; });
        QWidget room;
        QList<int> answers;
        for (const QString& event : events) {
            if (event == "prompt") {
                auto* prompt = new CancelOkWarningDlg(&room);
                prompt->setMessageText("prompt");
                prompt->setDoneCallback([&answers](QObject*, int result) { answers << result; }, nullptr);
                holder.openPrompt(prompt);
            } else if (event.startsWith("notice ")) {
                holder.openNotice(&room, event.mid(7), "Get it");
            } else if (event == "question") {
                auto* question = new CancelOkWarningDlg(&room);
                question->setMessageText("question");
                holder.open(question);
            } else if (event == "answer") {
                holder.current()->done(CancelOkWarningDlg::ResultOk);
            } else if (event == "close") {
                QVERIFY(holder.set(nullptr));
            } else if (event == "close all") {
                holder.closeAll();
            } else if (event == "run") {
                running = true;
            } else if (event == "run end") {
                running = false;
                holder.runEnded();
            } else if (event == "leave") {
                leaving = true;
            }
            QCoreApplication::processEvents();
        }
        QStringList shown;
        for (auto* dialog : room.findChildren<CancelOkWarningDlg*>()) {
            if (dialog->isVisible())
                shown << dialog->findChild<QLabel*>("title")->text();
        }
        QCOMPARE(shown, seen);
        QCOMPARE(answers, promptAnswers);
        if (!seen.isEmpty())
            QCOMPARE(holder.current()->findChild<QLabel*>("title")->text(), seen.last());
        holder.closeAll();
    }

    void cpuOverloadNotice_data()
    {
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<int>("noticeAt"); // index of the sample that gives the notice; -1 none
        QTest::addColumn<int>("count");
        QTest::newRow("eight in a row") << QList<int>{70, 80, 90, 100, 70, 71, 99, 70} << 7 << -1;
        QTest::newRow("seven, then 69 %") << QList<int>{70, 70, 70, 70, 70, 70, 70, 69, 70} << -1 << 1;
        QTest::newRow("later overloads give none")
            << QList<int>{90, 90, 90, 90, 90, 90, 90, 90, 10, 90, 90, 90, 90, 90, 90, 90, 90, 90} << 7 << -1;
        QTest::newRow("unmeasured samples") << QList<int>{-1, 0, 0} << -1 << 0;
    }
    void cpuOverloadNotice()
    {
        QFETCH(QList<int>, samples);
        QFETCH(int, noticeAt);
        QFETCH(int, count);
        CpuOverloadCounter counter;
        QList<int> notices;
        for (int i = 0; i < samples.size(); ++i) {
            if (counter.addSample(samples[i]))
                notices << i;
        }
        QCOMPARE(notices, noticeAt < 0 ? QList<int>{} : QList<int>{noticeAt});
        QCOMPARE(counter.count(), count);
    }

    // The source tests put in place is sampled; an empty one gives the system's back.
    void cpuSourceIsReplaceable()
    {
        RoomCpuLoad::setSource([] { return 87; });
        QCOMPARE(RoomCpuLoad::sample(), 87);
        RoomCpuLoad::setSource({});
        QVERIFY(RoomCpuLoad::sample() <= 100);
    }

    void unpluggedDevice_data()
    {
        QTest::addColumn<bool>("camera"); // a camera's change, else an audio device's
        QTest::addColumn<QString>("deviceId");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QStringList>("storedAfter"); // camera, microphone, speaker
        const QStringList all{"cam-1", "mic-1", "spk-1"};
        QTest::newRow("microphone unplugged") << false << "mic-1" << 8 << true << QStringList{"cam-1", "", "spk-1"};
        QTest::newRow("speaker not present") << false << "spk-1" << 4 << true << QStringList{"cam-1", "mic-1", ""};
        QTest::newRow("speaker disabled") << false << "spk-1" << 2 << false << all;
        QTest::newRow("another microphone") << false << "mic-2" << 8 << false << all;
        QTest::newRow("camera unplugged") << true << "cam-1" << 8 << true << QStringList{"", "mic-1", "spk-1"};
        QTest::newRow("camera not present") << true << "cam-1" << 4 << false << all;
        QTest::newRow("camera as audio") << false << "cam-1" << 8 << false << all;
    }
    void unpluggedDevice()
    {
        QFETCH(bool, camera);
        QFETCH(QString, deviceId);
        QFETCH(int, state);
        QFETCH(bool, taken);
        QFETCH(QStringList, storedAfter);
        store(RoomDevices::kCameraKey, "cam-1");
        store(RoomDevices::kMicrophoneKey, "mic-1");
        store(RoomDevices::kSpeakerKey, "spk-1");
        const std::string id = deviceId.toStdString();
        QCOMPARE(camera ? RoomDevices::takeUnpluggedCamera(id, state)
                        : RoomDevices::takeUnpluggedAudioDevice(id, state),
                 taken);
        QCOMPARE((QStringList{storedDeviceId(kKeys[0]), storedDeviceId(kKeys[1]), storedDeviceId(kKeys[2])}),
                 storedAfter);
    }

    // A device whose stored id was cleared by its unplug is never "unplugged" again by an event without an id.
    void emptyIdNamesNoDevice()
    {
        QVERIFY(!RoomDevices::takeUnpluggedAudioDevice("", 8));
        QVERIFY(!RoomDevices::takeUnpluggedCamera("", 8));
    }

    // After the re-check each kind keeps its stored device when it is listed, else takes the first listed one.
    void reselectsTheStoredOrTheFirstDevice()
    {
        TracedScenario traced;
        traced.scenario.cameras = {device("Front", "cam-1"), device("Rear", "cam-2")};
        traced.scenario.microphones = {device("Headset", "mic-1"), device("Array", "mic-2")};
        traced.scenario.speakers = {device("Speakers", "spk-1"), device("HDMI", "spk-2")};
        traced.use();
        AgoraChannel channel;
        QCOMPARE(channel.initialize(), 0);
        AgoraAudioDevice audio;
        AgoraVideoDevice video;
        QCOMPARE(audio.Create(channel.engine()), 0);
        QCOMPARE(video.Create(channel.engine()), 0);
        store(RoomDevices::kCameraKey, "cam-2");
        store(RoomDevices::kMicrophoneKey, "");
        store(RoomDevices::kSpeakerKey, "spk-gone");

        RoomDevices::reselectDevices(&audio, &video);
        QCOMPARE(video.GetCurDeviceID(), QStringLiteral("cam-2"));
        QCOMPARE(audio.GetCurRecordingDeviceID(), QStringLiteral("mic-1"));
        QCOMPARE(audio.GetCurPlaybackDeviceID(), QStringLiteral("spk-1"));
        QCOMPARE(storedDeviceId(RoomDevices::kMicrophoneKey), QStringLiteral("mic-1"));
        QCOMPARE(storedDeviceId(RoomDevices::kSpeakerKey), QStringLiteral("spk-1"));

        // The settings dialog's changes reach the managers; keys of no device are ignored.
        RoomDevices::applyChangedDevices({{RoomDevices::kMicrophoneKey, "mic-2"},
                                          {RoomDevices::kCameraKey, "cam-1"},
                                          {"SelectedDeviceID/Other", "x"}},
                                         &audio, &video);
        QCOMPARE(audio.GetCurRecordingDeviceID(), QStringLiteral("mic-2"));
        QCOMPARE(audio.GetCurPlaybackDeviceID(), QStringLiteral("spk-1"));
        QCOMPARE(video.GetCurDeviceID(), QStringLiteral("cam-1"));

        // Without managers nothing is selected.
        RoomDevices::reselectDevices(nullptr, nullptr);
        audio.Close();
        video.Close();
        channel.uninitialize();
    }

    void notRecommendedNames_data()
    {
        QTest::addColumn<int>("types");
        QTest::addColumn<QString>("names");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("camera") << 1 << "camera";
        QTest::newRow("microphone and speaker") << 6 << "microphone,speaker";
        QTest::newRow("all") << 7 << "camera,microphone,speaker";
    }
    void notRecommendedNames()
    {
        QFETCH(int, types);
        QFETCH(QString, names);
        QCOMPARE(RoomDevices::notRecommendedNames(types, "ZmClassRoomDlg"), names);
    }
};

ZM_TEST_MAIN(TestRoomCommon)
#include "tst_roomcommon.moc"
