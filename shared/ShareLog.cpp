#include "shared/ShareLog.h"

#include <atomic>
#include <cstdio>

namespace {

std::atomic<ShareLogHandler> g_handler{nullptr};

} // namespace

void setShareLogHandler(ShareLogHandler handler)
{
    g_handler.store(handler);
}

void shareLog(ShareLogLevel level, const std::string& message)
{
    if (ShareLogHandler handler = g_handler.load()) {
        handler(level, message);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", level == ShareLogLevel::Error ? "error" : "warning", message.c_str());
}

std::string printableForLog(const char* text)
{
    if (!text)
        return "(null)";
    constexpr size_t kMaxLength = 64;
    std::string result;
    size_t i = 0;
    for (; text[i] && i < kMaxLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        result += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    if (text[i])
        result += "...";
    return result;
}
