// Log lines through the message handler (which collects every line and hands it to the run log, whose background
// thread writes the file), against writing the same bytes with a plain buffered fwrite, from 1 and from 8 threads;
// and the memory LogInfo holds per 100,000 lines. Both sides are timed by the process's CPU time, so that each pays
// for its file writes whichever thread makes them; each run ends with its lines written out (after the timing).
// Run: build/<config>/bench/bench_logging
#include "app/ConfigManager.h"
#include "app/LogHandler.h"
#include "app/LogInfo.h"
#include "app/LogLock.h"
#include "app/RunLog.h"

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

// Bytes allocated, from the heap and in blocks of their own (large blocks are mapped apart from the heap).
size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Writes out the lines of a run and lets the collection go.
void finishHandlerRun()
{
    RunLog::flush();
    LogLock lock;
    LogInfo::release();
}

void BM_HandlerLine(benchmark::State& state)
{
    for (auto _ : state)
        logEmitSignal(kSignal);
    state.SetItemsProcessed(state.iterations());
    if (state.thread_index() == 0)
        finishHandlerRun();
}
BENCHMARK(BM_HandlerLine)->Threads(1)->Threads(8)->MeasureProcessCPUTime();

void BM_PlainBufferedWrite(benchmark::State& state)
{
    // The bytes the handler writes for the same message.
    const QByteArray record = formatLogLine(QtDebugMsg, QString("Emit: ") + kSignal).toUtf8() + '\n';
    for (auto _ : state)
        std::fwrite(record.constData(), 1, size_t(record.size()), s_plainFile);
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * record.size());
    if (state.thread_index() == 0)
        std::fflush(s_plainFile);
}
BENCHMARK(BM_PlainBufferedWrite)->Threads(1)->Threads(8)->MeasureProcessCPUTime();

void BM_LogInfoMemoryPer100kLines(benchmark::State& state)
{
    constexpr int kLines = 100000;
    double held = 0;
    double text = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto* info = new LogInfo;
        const size_t before = heapInUse();
        state.ResumeTiming();
        size_t textBytes = 0;
        for (int i = 0; i < kLines; ++i) {
            const QString line = formatLogLine(QtDebugMsg, QString("Emit: %1 #%2").arg(kSignal).arg(i));
            textBytes += size_t(line.toUtf8().size());
            info->appendLine(line);
        }
        state.PauseTiming();
        held = double(heapInUse() - before);
        text = double(textBytes);
        delete info;
        state.ResumeTiming();
    }
    state.counters["held_bytes"] = held;
    state.counters["text_bytes"] = text;
    state.counters["held_per_line"] = held / kLines;
    state.counters["held_per_text_byte"] = held / text;
}
BENCHMARK(BM_LogInfoMemoryPer100kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The console report, then the handler's rate against the plain write's for each thread count, and the memory
// the collection holds per line.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            for (const char* counter : {"items_per_second", "held_per_line", "held_per_text_byte"}) {
                const auto value = run.counters.find(counter);
                if (value != run.counters.end())
                    m_values[run.benchmark_name() + " " + counter] = value->second.value;
            }
        }
    }

    void printRatios() const
    {
        for (const char* threads : {"threads:1", "threads:8"}) {
            const std::string suffix = std::string("/process_time/") + threads + " items_per_second";
            const auto handler = m_values.find("BM_HandlerLine" + suffix);
            const auto plain = m_values.find("BM_PlainBufferedWrite" + suffix);
            if (handler == m_values.end() || plain == m_values.end())
                continue;
            std::printf("%s: handler %.0f lines/s, plain buffered write %.0f lines/s, handler/plain = %.2f\n", threads,
                        handler->second, plain->second, handler->second / plain->second);
        }
        const std::string memory = "BM_LogInfoMemoryPer100kLines/iterations:3 ";
        const auto perLine = m_values.find(memory + "held_per_line");
        const auto perByte = m_values.find(memory + "held_per_text_byte");
        if (perLine != m_values.end() && perByte != m_values.end())
            std::printf("collection: %.1f bytes held per line, %.3f per byte of UTF-8 text\n", perLine->second,
                        perByte->second);
    }

private:
    std::map<std::string, double> m_values;
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
