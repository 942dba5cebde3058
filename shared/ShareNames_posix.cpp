#include "shared/ShareNames.h"

#include "shared/ShareLog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kLocalPrefix[] = "Local\\";
constexpr char kShmFolder[] = "/dev/shm";
// How often an open tries again when a clean-up unlinked the object between its open and its mark.
constexpr int kOpenTries = 3;
// How long an open waits for a clean-up that holds an object's exclusive mark (it holds it only to unlink).
constexpr int kMarkWaitMs = 200;

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

bool isNameText(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (!isNameCharacter(text[i]))
            return false;
    }
    return length > 0;
}

// The section names without "Local\": what follows a scope's object prefix.
constexpr const char* kSectionMarker = kShareSectionPrefix + sizeof(kLocalPrefix) - 1;

// A shared mark on the open object, held as long as fd stays open: the clean-up leaves marked objects alone. False
// when the object was unlinked before the mark was taken.
bool markInUse(int fd)
{
    for (int waited = 0; ::flock(fd, LOCK_SH | LOCK_NB) != 0; ++waited) {
        // A file system without flock: the object stays unmarked.
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true;
        if (waited >= kMarkWaitMs)
            return false;
        ::usleep(1000);
    }
    struct stat info = {};
    return ::fstat(fd, &info) == 0 && info.st_nlink > 0;
}

// Whether a file name in /dev/shm is a section or lock of exactly the scope whose names start with names.
bool isScopeObject(const char* fileName, const std::string& names)
{
    if (std::strncmp(fileName, names.c_str(), names.size()) != 0)
        return false;
    const char* rest = fileName + names.size();
    // Another scope's names may continue this one's: "x-" + a marker after the unscoped prefix.
    return isNameText(rest, std::strlen(rest)) && !std::strstr(rest, kSectionMarker);
}

// Unlinks the object when nobody has it open; true when it went.
bool unlinkWhenUnused(const std::string& posixName)
{
    const int fd = ::shm_open(posixName.c_str(), O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat info = {};
    const bool unused = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = unused && ::shm_unlink(posixName.c_str()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

std::string shareObjectPrefix()
{
    std::string prefix = "zmquillo-" + std::to_string(::geteuid()) + "-";
    const char* scope = std::getenv("ZM_SHARE_SCOPE");
    const size_t scopeLength = scope ? std::strlen(scope) : 0;
    if (scopeLength > 0 && scopeLength <= kMaxShareScopeLength && isNameText(scope, scopeLength))
        prefix += std::string(scope) + "-";
    return prefix;
}

bool isValidShareViewId(const std::string& viewId)
{
    return viewId.size() <= kMaxShareViewIdLength && isNameText(viewId.data(), viewId.size());
}

std::string shareSectionName(const std::string& viewId)
{
    if (!isValidShareViewId(viewId)) {
        shareLog(ShareLogLevel::Error, "refused view id \"" + printableForLog(viewId.c_str()) +
                                           "\": only letters, digits, '_' and '-' are allowed");
        return {};
    }
    return kShareSectionPrefix + viewId;
}

std::string shareLockName(const std::string& sectionName)
{
    return sectionName + kShareLockSuffix;
}

bool sharePosixName(const char* name, std::string* posixName)
{
    if (!name || !*name)
        return false;
    const size_t length = std::strlen(name);
    const char* base = name;
    if (std::strncmp(name, kLocalPrefix, sizeof(kLocalPrefix) - 1) == 0)
        base += sizeof(kLocalPrefix) - 1;
    const size_t baseLength = length - static_cast<size_t>(base - name);
    if (length > kMaxShareLockNameLength || !isNameText(base, baseLength)) {
        shareLog(ShareLogLevel::Error, "refused shared frame name \"" + printableForLog(name) +
                                           "\": only letters, digits, '_' and '-' are allowed");
        return false;
    }
    *posixName = "/" + shareObjectPrefix() + std::string(base, baseLength);
    return true;
}

int openOwnedShareObject(const std::string& posixName, int flags, const char* name, struct stat* info)
{
    for (int tries = 0; tries < kOpenTries; ++tries) {
        const int fd = ::shm_open(posixName.c_str(), flags | O_CLOEXEC, 0600);
        if (fd < 0)
            return -1;
        if (::fstat(fd, info) != 0 || info->st_uid != ::geteuid()) {
            shareLog(ShareLogLevel::Error, "shared frame object " + printableForLog(name) + " belongs to another user");
            ::close(fd);
            return -1;
        }
        if (markInUse(fd) && ::fstat(fd, info) == 0)
            return fd;
        ::close(fd);
    }
    return -1;
}

void removeShareObjects(const std::string& sectionName)
{
    std::string posixName;
    if (sharePosixName(sectionName.c_str(), &posixName))
        ::shm_unlink(posixName.c_str());
    if (sharePosixName(shareLockName(sectionName).c_str(), &posixName))
        ::shm_unlink(posixName.c_str());
}

int removeStaleShareObjects()
{
    DIR* folder = ::opendir(kShmFolder);
    if (!folder)
        return 0;
    const std::string names = shareObjectPrefix() + kSectionMarker;
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (isScopeObject(entry->d_name, names) && unlinkWhenUnused(std::string("/") + entry->d_name))
            ++removed;
    }
    ::closedir(folder);
    return removed;
}
