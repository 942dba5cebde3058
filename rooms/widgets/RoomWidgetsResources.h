#pragma once

// The pictures of the room widgets live in this static library; they are registered on first use so that every
// program linking the library finds them under their ":/" paths. Also loads the common dialogs' pictures.
namespace RoomWidgetsResources {

void ensureLoaded();

} // namespace RoomWidgetsResources
