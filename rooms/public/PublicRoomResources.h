#pragma once

// The compiled-in pictures of the public class room live in this static library; they (and the room building
// blocks' pictures) are registered on first use so that every program linking it finds them under ":/".
namespace PublicRoomResources {

void ensureLoaded();

} // namespace PublicRoomResources
