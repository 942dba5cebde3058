// A second process for the shared frame tests: it reads or holds a section the test process writes, and reports
// on standard output one line per event.
//   read <section> <frames> <deadlineMs>  "ready" once open, then "frame <version> <width> <height> <format>
//                                         <pixelBytes> <checksum>" per new frame; exit 0 after <frames> frames
//   hold <section>                        "locked", holds the lock until a line comes on standard input (or it
//                                         ends), "released"
//   holdforever <section>                 "locked", then waits to be killed
//   try <section> <timeoutMs>             "got" or "timeout"
//   hostile <section> <key>=<value>...    a writer that ignores the lock: in the given order, "size" cuts or
//                                         grows the section, any other key (format, width, height, pixelBytes,
//                                         version) writes that header field; then "done"
#include "shared/CShareFrameReader.h"
#include "shared/CShareMemory.h"
#include "shared/ShareFrameLayout.h"
#include "shared/ShareNames.h"

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <sys/mman.h>
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
        if (const ShareFrame* frame = reader->lock(100, true)) {
            const ShareFrameHeader& header = frame->header;
            say("frame " + std::to_string(header.version) + " " + std::to_string(header.width) + " " +
                std::to_string(header.height) + " " + std::to_string(header.format) + " " +
                std::to_string(header.pixelBytes) + " " + std::to_string(checksum(frame->pixels, frame->pixelBytes)));
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

bool resize(const char* name, long long size)
{
    std::string posixName;
    if (size < 0 || !sharePosixName(name, &posixName))
        return false;
    const int fd = ::shm_open(posixName.c_str(), O_RDWR, 0600);
    if (fd < 0)
        return false;
    const bool done = ::ftruncate(fd, off_t(size)) == 0;
    ::close(fd);
    return done;
}

int scribble(const char* name, int count, char** changes)
{
    for (int i = 0; i < count; ++i) {
        const std::string change = changes[i];
        const size_t equals = change.find('=');
        if (equals == std::string::npos)
            return 64;
        const std::string key = change.substr(0, equals);
        const unsigned long long value = std::strtoull(change.c_str() + equals + 1, nullptr, 10);
        if (key == "size") {
            if (!resize(name, (long long)value))
                return 3;
            continue;
        }
        const std::map<std::string, size_t> fields = {{"format", offsetof(ShareFrameHeader, format)},
                                                      {"width", offsetof(ShareFrameHeader, width)},
                                                      {"height", offsetof(ShareFrameHeader, height)},
                                                      {"pixelBytes", offsetof(ShareFrameHeader, pixelBytes)},
                                                      {"version", offsetof(ShareFrameHeader, version)}};
        const auto field = fields.find(key);
        CShareMemory section;
        if (field == fields.end() || !section.open(name) || section.size() < kShareHeaderCopyBytes)
            return 3;
        const uint32_t word = uint32_t(value);
        std::memcpy(static_cast<char*>(section.data()) + field->second, &word, sizeof(word));
    }
    say("done");
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
    if (command == "hostile")
        return scribble(name, argc - 3, argv + 3);
    return 64;
}
