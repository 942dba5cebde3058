// A small program that crashes on request, for the crash handler tests.
//   crash_probe <folder> <kind> [timeout seconds]   installs the handlers and crashes in the way named by kind
//   crash_probe --probe-upload=<folder>             the upload process: writes what it was handed to
//                                                   <folder>/upload.txt (or hangs when the hand-over says so)
#include "platform/CrashHandler.h"
#include "platform/SignalSafeText.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

const char kUploadOption[] = "--probe-upload=";
char g_folder[1024];
char g_kind[64];

bool folderHook(char* buffer, std::size_t size)
{
    buffer[0] = '\0';
    return Platform::appendText(buffer, size, g_folder);
}

std::size_t handOverHook(char* buffer, std::size_t size)
{
    buffer[0] = '\0';
    Platform::appendText(buffer, size, "kind=");
    Platform::appendText(buffer, size, g_kind);
    Platform::appendText(buffer, size, "\n");
    return Platform::textLength(buffer);
}

int runUpload(const char* folder)
{
    std::string handOver;
    char block[256];
    ssize_t count;
    while ((count = read(STDIN_FILENO, block, sizeof block)) > 0)
        handOver.append(block, size_t(count));
    if (handOver.find("kind=hang") != std::string::npos) {
        for (;;)
            pause();
    }
    const std::string path = std::string(folder) + "/upload.txt";
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return 1;
    std::fprintf(file, "folder=%s\n%s", folder, handOver.c_str());
    std::fclose(file);
    return 0;
}

volatile bool g_deeper = true;

int recurse(int depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    return (g_deeper ? recurse(depth + 1) : 0) + frame[0];
}

// Kept out of line so the division happens at run time (and unchecked, so the processor faults).
__attribute__((noinline, no_sanitize("undefined"))) int divide(int a, int b)
{
    return a / b;
}

void* crashInThread(void*)
{
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return nullptr;
}

void crash(const char* kind)
{
    if (!std::strcmp(kind, "segv") || !std::strcmp(kind, "hang")) {
        volatile int* nowhere = nullptr;
        *nowhere = 42;
    } else if (!std::strcmp(kind, "abort")) {
        std::abort();
    } else if (!std::strcmp(kind, "fpe")) {
        volatile int zero = 0;
        volatile int one = 1;
        volatile int result = divide(one, zero);
        (void)result;
    } else if (!std::strcmp(kind, "ill")) {
        __builtin_trap();
    } else if (!std::strcmp(kind, "bus")) {
        char path[] = "/tmp/crash_probe_XXXXXX";
        const int fd = mkstemp(path);
        if (fd < 0 || ftruncate(fd, 8192) != 0)
            return;
        auto* mapped = static_cast<volatile char*>(mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0));
        unlink(path);
        if (ftruncate(fd, 0) != 0)
            return;
        (void)mapped[4096];
    } else if (!std::strcmp(kind, "stack")) {
        recurse(0);
    } else if (!std::strcmp(kind, "thread")) {
        pthread_t thread;
        pthread_create(&thread, nullptr, crashInThread, nullptr);
        pthread_join(thread, nullptr);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && !std::strncmp(argv[1], kUploadOption, sizeof kUploadOption - 1))
        return runUpload(argv[1] + sizeof kUploadOption - 1);
    if (argc < 3)
        return 2;
    std::snprintf(g_folder, sizeof g_folder, "%s", argv[1]);
    std::snprintf(g_kind, sizeof g_kind, "%s", argv[2]);
    Platform::CrashHooks hooks;
    hooks.crashFolder = folderHook;
    hooks.handOver = handOverHook;
    hooks.dumpFileName = "probe.dmp";
    hooks.uploadOption = kUploadOption;
    hooks.uploadTimeoutSeconds = argc > 3 ? std::atoi(argv[3]) : 30;
    if (!Platform::installCrashSignalHandlers(hooks))
        return 3;
    crash(argv[2]);
    return 4; // not crashed
}
