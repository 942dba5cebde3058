#pragma once

// The small class room's compiled-in pictures (the title bar's product logo).
namespace SmallRoomResources {

// Registers them once per process; safe to call from every room constructor.
void ensureLoaded();

} // namespace SmallRoomResources
