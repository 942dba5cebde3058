#pragma once

#include <cstddef>

// Plain file output for the run log's writer, usable inside a signal handler: no allocation, no locks.
namespace Platform {

// The descriptor of standard error.
int standardErrorFile();

// Opens path (UTF-8, NUL-terminated) for appending, creating it when missing; the descriptor, or -1 with
// *error (when given) set to the system's error number.
int openAppendFile(const char* path, int* error = nullptr);

// Writes data whole, retrying after interruptions and short writes; the bytes written, fewer than size when the
// file refused the rest (then *error, when given, holds the system's error number).
std::size_t writeToFile(int fd, const char* data, std::size_t size, int* error = nullptr);

void closeFile(int fd);

void sleepMilliseconds(int milliseconds);

} // namespace Platform
