#pragma once

#include <string>

// Where the shared frame layer's few log lines go. The program forwards them to its log, the plug-in to the page
// console; without a handler they go to standard error.

enum class ShareLogLevel
{
    Warning,
    Error
};

using ShareLogHandler = void (*)(ShareLogLevel level, const std::string& message);

// Replaces the handler (null restores standard error). Set it once at start-up, before frames flow.
void setShareLogHandler(ShareLogHandler handler);

void shareLog(ShareLogLevel level, const std::string& message);

// A name or id from outside made safe for a log line: at most 64 characters, anything unprintable as '?'.
std::string printableForLog(const char* text);
