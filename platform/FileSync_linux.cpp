#include "platform/FileSync.h"

#include <cerrno>
#include <unistd.h>

namespace Platform {

bool syncFileToDisk(int fd, int* error)
{
    int result;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && error)
        *error = errno;
    return result == 0;
}

} // namespace Platform
