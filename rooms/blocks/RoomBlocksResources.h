#pragma once

// The compiled-in pictures of the room building blocks live in this static library; they (and the common
// dialogs' pictures) are registered on first use so that every program linking it finds them under ":/".
namespace RoomBlocksResources {

void ensureLoaded();

} // namespace RoomBlocksResources
