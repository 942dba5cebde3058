// The plug-in's converter turning a 1280x720 I420 frame into BGRA at 640x360 (scaled bicubic through FFmpeg, then
// converted) and at 1280x720 (converted only), against libyuv alone doing the same: I420Scale (box filter, its
// best; bilinear for comparison) then I420ToARGB, and I420ToARGB alone (libyuv's ARGB is BGRA in memory).
// Run: build/<config>/bench/bench_frameconverter
#include "plugin/FrameConverter.h"

#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <vector>

namespace {

constexpr int kSourceWidth = 1280;
constexpr int kSourceHeight = 720;

std::vector<uint8_t> sourceFrame()
{
    std::vector<uint8_t> frame(size_t(kSourceWidth) * kSourceHeight * 3 / 2);
    for (int y = 0; y < kSourceHeight; ++y) {
        for (int x = 0; x < kSourceWidth; ++x)
            frame[size_t(y) * kSourceWidth + x] = uint8_t(x + y);
    }
    for (size_t i = size_t(kSourceWidth) * kSourceHeight; i < frame.size(); ++i)
        frame[i] = uint8_t(96 + (i % 64));
    return frame;
}

void BM_PluginConverter(benchmark::State& state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const std::vector<uint8_t> source = sourceFrame();
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    for (auto _ : state) {
        if (!convertFrame(AV_PIX_FMT_YUV420P, source.data(), source.size(), kSourceWidth, kSourceHeight,
                          AV_PIX_FMT_BGRA, width, height, bgra.data(), width * 4)) {
            state.SkipWithError("the converter refused the frame");
            break;
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PluginConverter)->Args({640, 360})->Args({1280, 720});

void BM_Libyuv(benchmark::State& state)
{
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const libyuv::FilterMode filter = libyuv::FilterMode(state.range(2));
    const std::vector<uint8_t> source = sourceFrame();
    const uint8_t* y = source.data();
    const uint8_t* u = y + kSourceWidth * kSourceHeight;
    const uint8_t* v = u + (kSourceWidth / 2) * (kSourceHeight / 2);
    std::vector<uint8_t> scaled(size_t(width) * height * 3 / 2);
    uint8_t* sy = scaled.data();
    uint8_t* su = sy + width * height;
    uint8_t* sv = su + (width / 2) * (height / 2);
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    const bool sameSize = width == kSourceWidth && height == kSourceHeight;
    for (auto _ : state) {
        if (sameSize) {
            libyuv::I420ToARGB(y, kSourceWidth, u, kSourceWidth / 2, v, kSourceWidth / 2, bgra.data(), width * 4, width,
                               height);
        } else {
            libyuv::I420Scale(y, kSourceWidth, u, kSourceWidth / 2, v, kSourceWidth / 2, kSourceWidth, kSourceHeight,
                              sy, width, su, width / 2, sv, width / 2, width, height, filter);
            libyuv::I420ToARGB(sy, width, su, width / 2, sv, width / 2, bgra.data(), width * 4, width, height);
        }
        benchmark::ClobberMemory();
    }
}
// The third argument is libyuv's filter: 3 box (its best), 2 bilinear.
BENCHMARK(BM_Libyuv)
    ->Args({640, 360, libyuv::kFilterBox})
    ->Args({640, 360, libyuv::kFilterBilinear})
    ->Args({1280, 720, libyuv::kFilterNone});

} // namespace

BENCHMARK_MAIN();
