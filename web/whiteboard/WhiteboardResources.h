#pragma once

// The pictures of the whiteboard page host and its overlays live in this static library; they are registered on
// first use so that every program linking the library finds them under their ":/" paths.
namespace WhiteboardResources {

void ensureLoaded();

} // namespace WhiteboardResources
