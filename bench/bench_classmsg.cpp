// The receive side of the class message engine: a typical class message (an award, with the envelope the server
// forwards, its token included) taken in as the websocket hands it over: its log line (secrets masked) written
// by the program's log handler, parsed, dispatched to a connected slot with the signal's own log line; against
// QJsonDocument::fromJson of the same text alone. Timed by the CPU time of the receiving thread: the log lines are
// formatted, collected and handed to the file's buffer there; the file writes the log's background thread makes
// are bench_logging's part. Run: build/<config>/bench/bench_classmsg
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "app/RunLog.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"
#include "live/messages/StudentMsgInterface.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace {

const QString kAward = QStringLiteral(
    R"({"messageId":"7f1c2a9e-4b0d-4c8e-9a51-2f6d3b8e0c47","messageTag":40010001,)"
    R"("token":"eyJhbGciOiJIUzI1NiJ9.dGVhY2hlci0zMDA0NTE.c2lnbmF0dXJl","periodId":20240611093,)"
    R"("teacherId":300451,"role":1,"userId":300451,"p":6,"subTag":"award","toUserId":100234,"point":1,"total":3})");

// An engine without a transport, taking texts in as its websocket does.
class BenchEngine : public ClassMsgEngine_Imp
{
public:
    BenchEngine() { init(nullptr, nullptr); }
    int getInitResult() const override { return 0; }
    void tryReConnect() override {}
    int postMsg(const QVariantMap&) override { return 0; }
    using ClassMsgEngine_Imp::receiveText;
};

// Writes out the lines of a run and lets the collection go, as an uploaded log does.
void finishRun()
{
    RunLog::flush();
    LogLock lock;
    LogInfo::release();
}

void BM_FromJsonOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(kAward.toUtf8());
        benchmark::DoNotOptimize(document);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FromJsonOnly);

void BM_ReceiveText(benchmark::State& state)
{
    BenchEngine engine;
    int awards = 0;
    QObject::connect(engine.studentMsgInterface(), &StudentMsgInterface::sigReceiveMsgTeacherAwardPoints,
                     [&awards](int, int, int, int total) { awards += total; });
    for (auto _ : state)
        engine.receiveText(kAward);
    finishRun();
    if (awards != 3 * int(state.iterations()))
        state.SkipWithError("the award did not reach its slot");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceiveText);

// Parsing and dispatching alone, the log dropping its lines.
void BM_ParseAndDispatchUnlogged(benchmark::State& state)
{
    BenchEngine engine;
    int awards = 0;
    QObject::connect(engine.studentMsgInterface(), &StudentMsgInterface::sigReceiveMsgTeacherAwardPoints,
                     [&awards](int, int, int, int total) { awards += total; });
    const QtMessageHandler handler =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    for (auto _ : state) {
        ReceivedClassMsg message;
        if (parseClassMsg(kAward.toUtf8(), message))
            engine.dispatchReceived(message);
    }
    qInstallMessageHandler(handler);
    if (awards != 3 * int(state.iterations()))
        state.SkipWithError("the award did not reach its slot");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseAndDispatchUnlogged);

} // namespace

int main(int argc, char** argv)
{
    // The log goes to a temporary home.
    QTemporaryDir home;
    const QByteArray homePath = QFile::encodeName(home.path());
    qputenv("HOME", homePath);
    qputenv("XDG_CONFIG_HOME", homePath + "/.config");
    qputenv("XDG_DATA_HOME", homePath + "/.local/share");
    QCoreApplication app(argc, argv);
    installLogHandler();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    RunLog::close();
    qInstallMessageHandler(nullptr);
    return 0;
}
