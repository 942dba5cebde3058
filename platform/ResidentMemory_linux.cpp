#include "platform/ResidentMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace {

// Since Linux 5.14; older systems refuse it (EINVAL).
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

std::size_t pageSize()
{
    static const std::size_t size = std::size_t(sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace

namespace Platform {

void makeResident(char* data, std::size_t size)
{
    const std::size_t page = pageSize();
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = start / page * page;
    const std::uintptr_t end = (start + size + page - 1) / page * page;
    if (size > 0 && madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE) == 0)
        return;
    // Touching a byte of each page, without changing what the memory holds.
    for (std::uintptr_t at = start; at < start + size; at = (at / page + 1) * page) {
        volatile char* byte = reinterpret_cast<char*>(at);
        *byte = *byte;
    }
}

} // namespace Platform
