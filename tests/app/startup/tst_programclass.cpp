// A one-to-one class in the real program, as scripts/run ZM_CLASS=normal plays it: the pupil's start goes straight
// into the class room, which enters through the class-entry steps against the simulator and the simulated engine;
// the simulated teacher joins, awards a star, mutes the microphone, shares the desktop and ends the lesson; the
// stand-in pupil acknowledges "This lesson is over~" and the program ends by itself. In the sanitizer configuration
// the program runs under AddressSanitizer and UndefinedBehaviorSanitizer, and any report of theirs fails the test.
#include "ProgramRun.h"
#include "Simulator.h"
#include "ZmTestMain.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using ZmTest::ProgramRun;

namespace {

// Bounds each wait of the class: the lesson's messages take 24 s, a sanitized program under load starts slowly.
constexpr int kClassMs = 180000;

constexpr char kEntered[] = "runTasks_awaitEnd: result 0 left (1024)";
constexpr char kLessonOver[] = "ZmClassRoomDlg::onWebSocket_ReceiveMsg_TeacherLeaveClass 300451 true";
constexpr char kAcknowledged[] = "StandInUser clicks iknowBtn in ErrorDlg showing This lesson is over~";

QString scenarioPath(const QString& name)
{
    return ZmTest::sourceDir() + QStringLiteral("/tests/sim/scenarios/") + name;
}

// A sanitizer's report in the program's standard error, from its first line on; empty when there is none.
QString sanitizerReport(const QString& errorOutput)
{
    int first = -1;
    for (const char* marker : {"runtime error:", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer"}) {
        const int at = errorOutput.indexOf(QLatin1String(marker));
        if (at >= 0 && (first < 0 || at < first))
            first = at;
    }
    return first < 0 ? QString() : errorOutput.mid(errorOutput.lastIndexOf('\n', first) + 1, 12000);
}

} // namespace

class TestProgramClass : public QObject
{
    Q_OBJECT

private:
    ZmTest::Simulator m_sim;
    QTemporaryDir m_runtime;

    // The addresses of scripts/run, the simulated devices and engine scenario, and the pupil Leo's lesson.
    QStringList pupilLessonArguments() const
    {
        return QStringList{"--rtc_devices=simulated"} + ProgramRun::serviceArguments(m_sim) +
               QStringList{"--web_mode=" + m_sim.baseUrl(),
                           "--rtc_scenario=" + scenarioPath("rtc/normal_class.json"),
                           "--accounttype=1",
                           "--uid=100234",
                           "--token=eyJhbGciOiJIUzI1NiJ9.cHVwaWwtMTAwMjM0.bG9jYWwtcnVu",
                           "--lessonid=880213",
                           "--periodid=20240611093",
                           "--lessonname=Unit%203%20At%20the%20Zoo",
                           "--apptype=joinclass",
                           "--teachtype=1",
                           "--classtype=1"};
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(ProgramRun::programPath()).isExecutable(), qPrintable(ProgramRun::programPath()));
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
        QFile messages(scenarioPath("normal_class.json"));
        QVERIFY(messages.open(QIODevice::ReadOnly));
        QVERIFY(m_sim.loadMessageScenario(QJsonDocument::fromJson(messages.readAll()).object()));
        int status = 0;
        m_sim.control("POST", "/_control/updates/public_resources", R"({"app_status": 1, "web_status": 1})", &status);
        QCOMPARE(status, 200); // no update: the start goes on into the class
    }

    // Entry, the teacher's messages and the end, with the program's exit code 0 and no sanitizer report.
    void pupilClassEndToEnd()
    {
        ProgramRun run(m_runtime.path());
        run.standInClicks({"iknowBtn"});
        QVERIFY(run.start(pupilLessonArguments()));

        // A report stops the program: it is looked for before anything else is checked.
        const bool entered = run.waitForLog(kEntered, 1, kClassMs);
        const bool acknowledged = entered && run.waitForLog(kAcknowledged, 1, kClassMs);
        const int exitCode = run.waitForExit(acknowledged ? kClassMs : 10000);
        const QString report = sanitizerReport(run.errorOutput());
        QVERIFY2(report.isEmpty(), qPrintable(report));
        QVERIFY(entered);
        QVERIFY(acknowledged);
        QCOMPARE(exitCode, 0);

        // The entry and the teacher joining; the teacher's messages in the order they were sent, the end of the
        // lesson, then the stand-in's click on its notice.
        const QString log = run.log();
        QVERIFY(log.contains("ZmRouteManager::showByStatus 2 (normal class room) is current"));
        QVERIFY(log.contains(kEntered));
        QVERIFY(log.contains("People joined uid = 300451"));
        const QStringList lesson{"Emit: sigReceiveMsgTeacherAwardPoints", "Emit: sigReceiveMsgTeacherMuteAudio",
                                 "Emit: sigReceiveMsgTeacherEnableScreenShare", kLessonOver, kAcknowledged};
        int previous = -1;
        for (const QString& step : lesson) {
            const int at = log.indexOf(step, previous + 1);
            QVERIFY2(at > previous, qPrintable("not in the log after the step before: " + step));
            previous = at;
        }
        QCOMPARE(log.count("Emit: sigReceiveMsgTeacherEnableScreenShare"), 2);

        // The class service saw the pupil enter and leave once; the message server got the pupil's messages.
        QCOMPARE(m_sim.numberedRequests("50000101").size(), 1);
        QCOMPARE(m_sim.numberedRequests("50000102").size(), 1);
        const QJsonArray sent = m_sim.messageFrames("text");
        QVERIFY(!sent.isEmpty());
        QCOMPARE(sent.first().toObject().value("json").toObject().value("messageTag").toInt(), 10010001);
    }
};

ZM_TEST_MAIN_CORE(TestProgramClass)
#include "tst_programclass.moc"
