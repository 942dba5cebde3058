// A second process for the shared frame tests: it reads or holds a section the test process writes, and reports
// on standard output one line per event.
//   read <section> <frames> <deadlineMs>  "ready" once open, then "frame <version> <width> <height> <format>
//                                         <pixelBytes> <checksum>" per new frame; exit 0 after <frames> frames
//   hold <section>                        "locked", holds the lock until a line comes on standard input (or it
//                                         ends), "released"
//   holdforever <section>                 "locked", then waits to be killed
//   try <section> <timeoutMs>             "got" or "timeout"
#include "shared/CShareFrameReader.h"
#include "shared/ShareFrameLayout.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// How long opening a section and taking a free lock may take on a loaded machine.
constexpr int kOpenMs = 60000;

void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

uint32_t checksum(const uint8_t* data, uint64_t size)
{
    uint32_t hash = 2166136261u;
    for (uint64_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 16777619u;
    return hash;
}

std::unique_ptr<CShareFrameReader> openReader(const char* name, int deadlineMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    while (Clock::now() < deadline) {
        if (auto reader = CShareFrameReader::create(name))
            return reader;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return nullptr;
}

int readFrames(const char* name, int frames, int deadlineMs)
{
    auto reader = openReader(name, deadlineMs);
    if (!reader)
        return 3;
    say("ready");
    const auto deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
    int seen = 0;
    while (seen < frames && Clock::now() < deadline) {
        if (const ShareFrameHeader* header = reader->lock(100, true)) {
            const uint64_t bytes = packedYuv420Bytes(header->width, header->height);
            say("frame " + std::to_string(header->version) + " " + std::to_string(header->width) + " " +
                std::to_string(header->height) + " " + std::to_string(header->format) + " " +
                std::to_string(header->pixelBytes) + " " + std::to_string(checksum(sharePixels(header), bytes)));
            reader->unlock();
            ++seen;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return seen == frames ? 0 : 2;
}

int hold(const char* name, bool forever)
{
    auto reader = openReader(name, kOpenMs);
    if (!reader || !reader->lock(kOpenMs, false))
        return 3;
    say("locked");
    if (forever) {
        for (;;)
            ::pause();
    }
    char line[64];
    (void)std::fgets(line, sizeof line, stdin);
    reader->unlock();
    say("released");
    return 0;
}

int tryLock(const char* name, int timeoutMs)
{
    auto reader = openReader(name, kOpenMs);
    if (!reader)
        return 3;
    if (reader->lock(unsigned(timeoutMs), false)) {
        reader->unlock();
        say("got");
    } else {
        say("timeout");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    const std::string command = argv[1];
    const char* name = argv[2];
    const int a = argc > 3 ? std::atoi(argv[3]) : 0;
    const int b = argc > 4 ? std::atoi(argv[4]) : 0;
    if (command == "read")
        return readFrames(name, a, b);
    if (command == "hold")
        return hold(name, false);
    if (command == "holdforever")
        return hold(name, true);
    if (command == "try")
        return tryLock(name, a);
    return 64;
}
