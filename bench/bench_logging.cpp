// Log lines per second through the message handler (which collects every line and flushes it to the run
// log), against writing the same bytes with a plain buffered file write; and the memory LogInfo holds per
// 100,000 lines. Run: build/<config>/bench/bench_logging
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <string>

namespace {

// A typical high-volume trace.
const char kSignal[] = "sigAudioVolumeIndication speakers=2 totalVolume=37";

QTemporaryDir* s_home = nullptr;
std::FILE* s_plainFile = nullptr;

void releaseCollectedLines()
{
    LogLock lock;
    LogInfo::release();
}

void BM_HandlerLine(benchmark::State& state)
{
    for (auto _ : state)
        logEmitSignal(kSignal);
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
        releaseCollectedLines();
}
BENCHMARK(BM_HandlerLine)->Threads(1)->Threads(8)->UseRealTime();

void BM_PlainBufferedWrite(benchmark::State& state)
{
    // The bytes the handler writes for the same message.
    const QByteArray record = formatLogLine(QtDebugMsg, QString("Emit: ") + kSignal).toUtf8() + '\n';
    for (auto _ : state)
        std::fwrite(record.constData(), 1, size_t(record.size()), s_plainFile);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * record.size());
}
BENCHMARK(BM_PlainBufferedWrite)->Threads(1)->Threads(8)->UseRealTime();

void BM_LogInfoMemoryPer100kLines(benchmark::State& state)
{
    constexpr int kLines = 100000;
    double held = 0;
    double text = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* info = new LogInfo;
        const size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        size_t textBytes = 0;
        for (int i = 0; i < kLines; ++i) {
            const QString line = formatLogLine(QtDebugMsg, QString("Emit: %1 #%2").arg(kSignal).arg(i));
            textBytes += size_t(line.toUtf8().size());
            info->appendLine(line);
        }
        state.PauseTiming();
        held = double(mallinfo2().uordblks - before);
        text = double(textBytes);
        delete info;
        state.ResumeTiming();
    }
    state.counters["held_bytes"] = held;
    state.counters["text_bytes"] = text;
    state.counters["held_per_line"] = held / kLines;
}
BENCHMARK(BM_LogInfoMemoryPer100kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The console report, then the handler's rate against the plain write's for each thread count.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("items_per_second");
            if (run.run_type == Run::RT_Iteration && rate != run.counters.end())
                m_rates[run.benchmark_name()] = rate->second.value;
        }
    }

    void printRatios() const
    {
        for (const char* threads : {"threads:1", "threads:8"}) {
            const std::string suffix = std::string("/real_time/") + threads;
            const auto handler = m_rates.find("BM_HandlerLine" + suffix);
            const auto plain = m_rates.find("BM_PlainBufferedWrite" + suffix);
            if (handler == m_rates.end() || plain == m_rates.end())
                continue;
            std::printf("%s: handler %.0f lines/s, plain buffered write %.0f lines/s, plain/handler = %.1f\n", threads,
                        handler->second, plain->second, plain->second / handler->second);
        }
    }

private:
    std::map<std::string, double> m_rates;
};

} // namespace

int main(int argc, char** argv)
{
    s_home = new QTemporaryDir;
    const QByteArray home = QFile::encodeName(s_home->path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    QCoreApplication app(argc, argv);
    installLogHandler();
    s_plainFile = std::fopen(QFile::encodeName(s_home->filePath("plain.log")).constData(), "ab");

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();

    std::fclose(s_plainFile);
    ConfigManager::instance()->closeDailyLogFile();
    qInstallMessageHandler(nullptr);
    delete s_home;
    return 0;
}
