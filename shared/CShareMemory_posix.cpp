#include "shared/CShareMemory.h"

#include "shared/ShareLog.h"
#include "shared/ShareNames.h"

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CShareMemory::~CShareMemory()
{
    close();
}

bool CShareMemory::create(const char* name, size_t size)
{
    return size >= 1 && map(name, size);
}

bool CShareMemory::open(const char* name)
{
    return map(name, 0);
}

bool CShareMemory::map(const char* name, size_t createSize)
{
    close();
    if (!name || !*name || std::strlen(name) > kMaxShareSectionNameLength)
        return false;
    std::string posixName;
    if (!sharePosixName(name, &posixName))
        return false;

    struct stat info = {};
    const int fd = openOwnedShareObject(posixName, O_RDWR | (createSize > 0 ? O_CREAT : 0), name, &info);
    if (fd < 0)
        return false;
    // A section that is new (or whose creator has not sized it yet) gets the asked size; an existing one keeps its.
    bool isNew = false;
    if (createSize > 0 && info.st_size == 0) {
        if (::ftruncate(fd, static_cast<off_t>(createSize)) != 0 || ::fstat(fd, &info) != 0) {
            ::close(fd);
            return false;
        }
        isNew = true;
    }
    if (info.st_size <= 0) {
        ::close(fd);
        return false;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_view = view;
    m_size = size;
    m_isNew = isNew;
    std::strncpy(m_name, name, sizeof(m_name) - 1);
    return true;
}

size_t CShareMemory::currentSize() const
{
    struct stat info = {};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || info.st_size < 0)
        return 0;
    return static_cast<size_t>(info.st_size);
}

void CShareMemory::close()
{
    if (m_view)
        ::munmap(m_view, m_size);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_view = nullptr;
    m_size = 0;
    m_isNew = false;
    m_name[0] = '\0';
}
