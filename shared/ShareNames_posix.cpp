#include "shared/ShareNames.h"

#include "shared/ShareLog.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kLocalPrefix[] = "Local\\";
constexpr char kShmFolder[] = "/dev/shm";

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
    const int fd = ::shm_open(posixName.c_str(), flags | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::fstat(fd, info) != 0 || info->st_uid != ::geteuid()) {
        shareLog(ShareLogLevel::Error, "shared frame object " + printableForLog(name) + " belongs to another user");
        ::close(fd);
        return -1;
    }
    return fd;
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
    const std::string prefix = shareObjectPrefix();
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0)
            continue;
        const std::string name = std::string("/") + entry->d_name;
        if (::shm_unlink(name.c_str()) == 0)
            ++removed;
    }
    ::closedir(folder);
    return removed;
}
