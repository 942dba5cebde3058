// The receive side of the class message engine: a typical class message (an award, with the envelope the server
// forwards) parsed and dispatched to a connected slot, against QJsonDocument::fromJson of the same text alone.
// Goal: parse + dispatch at most twice fromJson. Log lines go to a handler that drops them, so no I/O is timed.
// Run: build/<config>/bench/bench_classmsg
#include "app/AppGlobalData.h"
#include "live/messages/ClassMsgEngine_Imp.h"
#include "live/messages/ClassMsgProtocol.h"
#include "live/messages/StudentMsgInterface.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QJsonDocument>

namespace {

const QString kAward = QStringLiteral(
    R"({"messageId":"7f1c2a9e-4b0d-4c8e-9a51-2f6d3b8e0c47","messageTag":40010001,)"
    R"("token":"eyJhbGciOiJIUzI1NiJ9.dGVhY2hlci0zMDA0NTE.c2lnbmF0dXJl","periodId":20240611093,)"
    R"("teacherId":300451,"role":1,"userId":300451,"p":6,"subTag":"award","toUserId":100234,"point":1,"total":3})");

// An engine without a transport.
class BenchEngine : public ClassMsgEngine_Imp
{
public:
    BenchEngine() { init(nullptr, nullptr); }
    int getInitResult() const override { return 0; }
    void tryReConnect() override {}
    int postMsg(const QVariantMap&) override { return 0; }
};

void BM_FromJsonOnly(benchmark::State& state)
{
    const QByteArray bytes = kAward.toUtf8();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FromJsonOnly);

void BM_ParseAndDispatch(benchmark::State& state)
{
    BenchEngine engine;
    int awards = 0;
    QObject::connect(engine.studentMsgInterface(), &StudentMsgInterface::sigReceiveMsgTeacherAwardPoints,
                     [&awards](int, int, int, int total) { awards += total; });
    for (auto _ : state) {
        // As the engine receives it: the frame's text to UTF-8, parsed, dispatched.
        ReceivedClassMsg message;
        if (parseClassMsg(kAward.toUtf8(), message))
            engine.dispatchReceived(message);
    }
    if (awards != 3 * int(state.iterations()))
        state.SkipWithError("the award did not reach its slot");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseAndDispatch);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
