#include "platform/AppendFile.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace Platform {

int standardErrorFile()
{
    return STDERR_FILENO;
}

int openAppendFile(const char* path, int* error)
{
    int fd;
    do {
        fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && error)
        *error = errno;
    return fd;
}

std::size_t writeToFile(int fd, const char* data, std::size_t size, int* error)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (error)
                *error = written < 0 ? errno : ENOSPC;
            break;
        }
        done += std::size_t(written);
    }
    return done;
}

void closeFile(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

void sleepMilliseconds(int milliseconds)
{
    timespec pause{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

} // namespace Platform
