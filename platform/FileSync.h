#pragma once

// Pushes what was written to a file down to the disk.
namespace Platform {

// True once everything written through the descriptor is on the disk; false when the system could not store it
// (a full disk may only tell here).
bool syncFileToDisk(int fd);

} // namespace Platform
