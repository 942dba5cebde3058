// Publishing a 640x480 I420 camera frame into a shared section and reading it once in place on the reader's side
// (lock, every byte read, unlock), against one plain memcpy of the same 460,800 bytes; and, as the floor any such
// hand-over has, one memcpy followed by the same read pass without sections or locks.
// Run: build/<config>/bench/bench_shareframes
#include "shared/CShareFrameReader.h"
#include "shared/CShareFrameWriter.h"
#include "shared/ShareNames.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * 3 / 2;

std::vector<uint8_t> cameraFrame()
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 31);
    return frame;
}

// Reads every byte once, as a converter reading from the mapping does (vectorised: built with -O3).
uint64_t readAll(const uint8_t* data, size_t size)
{
    uint64_t folded = 0;
    for (size_t i = 0; i < size / 8; ++i) {
        uint64_t word;
        std::memcpy(&word, data + i * 8, 8);
        folded ^= word;
    }
    for (size_t i = size / 8 * 8; i < size; ++i)
        folded ^= data[i];
    return folded;
}

void BM_PublishAndReadInPlace(benchmark::State& state)
{
    const std::string name = shareSectionName("bench" + std::to_string(::getpid()));
    auto writer = CShareFrameWriter::create(name.c_str(), true, int(kShareSectionSize));
    auto reader = CShareFrameReader::create(name.c_str());
    if (!writer || !reader) {
        state.SkipWithError("no shared section");
        return;
    }
    const std::vector<uint8_t> frame = cameraFrame();
    const I420FrameView view{
        kWidth, kHeight,    frame.data(), frame.data() + kWidth * kHeight, frame.data() + kWidth * kHeight * 5 / 4,
        kWidth, kWidth / 2, kWidth / 2};
    for (auto _ : state) {
        writer->lock(100);
        writer->writeFrame(view);
        writer->unlock();
        const ShareFrame* frame = reader->lock(100, true);
        benchmark::DoNotOptimize(readAll(frame->pixels, frame->pixelBytes));
        reader->unlock();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
    writer.reset();
    reader.reset();
    removeShareObjects(name);
}
BENCHMARK(BM_PublishAndReadInPlace);

void BM_PlainMemcpy(benchmark::State& state)
{
    const std::vector<uint8_t> frame = cameraFrame();
    std::vector<uint8_t> target(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), frame.data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_PlainMemcpy);

void BM_MemcpyThenRead(benchmark::State& state)
{
    const std::vector<uint8_t> frame = cameraFrame();
    std::vector<uint8_t> target(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), frame.data(), kFrameBytes);
        benchmark::DoNotOptimize(readAll(target.data(), kFrameBytes));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kFrameBytes));
}
BENCHMARK(BM_MemcpyThenRead);

} // namespace

BENCHMARK_MAIN();
