#include "shared/ShareLock.h"

#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

struct ShareLockBlock
{
    std::atomic<uint32_t> ready;
    pthread_mutex_t mutex;
};

namespace {

constexpr uint32_t kReadyMark = 0x5a4c4f4b;
// How long an opener waits for a creator in another process to finish setting the lock up.
constexpr int kReadyWaitMs = 200;

static_assert(std::atomic<uint32_t>::is_always_lock_free, "the ready mark is shared between processes");

bool initialiseMutex(pthread_mutex_t* mutex)
{
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0)
        return false;
    bool ok = pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
              pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
              pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ERRORCHECK) == 0 &&
              pthread_mutex_init(mutex, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    return ok;
}

timespec monotonicDeadline(unsigned timeoutMs)
{
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000);
    deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return deadline;
}

bool waitUntilReady(const ShareLockBlock* block)
{
    for (int waited = 0; waited <= kReadyWaitMs; ++waited) {
        if (block->ready.load(std::memory_order_acquire) == kReadyMark)
            return true;
        ::usleep(1000);
    }
    return false;
}

} // namespace

ShareLock::~ShareLock()
{
    close();
}

bool ShareLock::create(const char* name)
{
    return attach(name, true);
}

bool ShareLock::open(const char* name)
{
    return attach(name, false);
}

bool ShareLock::attach(const char* name, bool create)
{
    close();
    std::string posixName;
    if (!sharePosixName(name, &posixName))
        return false;

    struct stat info = {};
    int fd = create ? openOwnedShareObject(posixName, O_RDWR | O_CREAT | O_EXCL, name, &info) : -1;
    const bool creator = fd >= 0;
    if (fd < 0)
        fd = openOwnedShareObject(posixName, O_RDWR, name, &info);
    if (fd < 0)
        return false;
    if (creator && ::ftruncate(fd, sizeof(ShareLockBlock)) != 0) {
        ::close(fd);
        ::shm_unlink(posixName.c_str());
        return false;
    }
    // An opener may find the object before its creator sized it; the creator is a moment away from that.
    for (int waited = 0; !creator && info.st_size < static_cast<off_t>(sizeof(ShareLockBlock)); ++waited) {
        if (waited > kReadyWaitMs || ::fstat(fd, &info) != 0) {
            ::close(fd);
            return false;
        }
        if (info.st_size < static_cast<off_t>(sizeof(ShareLockBlock)))
            ::usleep(1000);
    }
    void* view = ::mmap(nullptr, sizeof(ShareLockBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        return false;
    }

    auto* block = static_cast<ShareLockBlock*>(view);
    if (creator) {
        if (!initialiseMutex(&block->mutex)) {
            ::munmap(view, sizeof(ShareLockBlock));
            ::close(fd);
            ::shm_unlink(posixName.c_str());
            return false;
        }
        block->ready.store(kReadyMark, std::memory_order_release);
    } else if (!waitUntilReady(block)) {
        ::munmap(view, sizeof(ShareLockBlock));
        ::close(fd);
        return false;
    }
    // Kept open: it marks the object as in use (openOwnedShareObject).
    m_fd = fd;
    m_block = block;
    m_name = name;
    return true;
}

void ShareLock::close()
{
    if (!m_block)
        return;
    set();
    ::munmap(m_block, sizeof(ShareLockBlock));
    ::close(m_fd);
    m_fd = -1;
    m_block = nullptr;
    m_name.clear();
}

bool ShareLock::wait(unsigned timeoutMs)
{
    if (!m_block || m_held)
        return false;
    const timespec deadline = monotonicDeadline(timeoutMs);
    int result;
    do {
        result = pthread_mutex_clocklock(&m_block->mutex, CLOCK_MONOTONIC, &deadline);
    } while (result == EINTR);
    if (result == EOWNERDEAD) {
        // Its holder ended while holding it. A writer publishes a frame's header after its pixels, so the worst
        // left behind is a frame with some new pixels; the next frame mends it. The lock carries on.
        shareLog(ShareLogLevel::Warning, "shared frame lock " + printableForLog(m_name.c_str()) +
                                             " taken over from a process that ended holding it");
        result = pthread_mutex_consistent(&m_block->mutex);
    }
    if (result != 0) {
        // EDEADLK: this thread holds it through another object; like a wait on a taken event, that fails.
        if (result != ETIMEDOUT && result != EDEADLK)
            shareLog(ShareLogLevel::Error,
                     "shared frame lock " + printableForLog(m_name.c_str()) + " failed: " + std::strerror(result));
        return false;
    }
    m_held = true;
    return true;
}

void ShareLock::set()
{
    if (!m_block || !m_held)
        return;
    m_held = false;
    pthread_mutex_unlock(&m_block->mutex);
}
