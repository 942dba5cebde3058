#pragma once

// Pushes what was written to a file down to the disk.
namespace Platform {

// True once everything written through the descriptor is on the disk; false when the system could not store it
// (a full disk may only tell here), with *error (when given) set to the system's error number.
bool syncFileToDisk(int fd, int* error = nullptr);

} // namespace Platform
