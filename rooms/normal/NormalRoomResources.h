#pragma once

// The compiled-in pictures of the normal class room (its title buttons, the product logo and the tiles' covers)
// live in this static library; they, and those of the room blocks, are registered on first use.
namespace NormalRoomResources {

void ensureLoaded();

} // namespace NormalRoomResources
