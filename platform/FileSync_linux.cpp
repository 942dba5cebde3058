#include "platform/FileSync.h"

#include <cerrno>
#include <unistd.h>

namespace Platform {

bool syncFileToDisk(int fd)
{
    int result;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace Platform
