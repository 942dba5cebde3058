#pragma once

// The compiled-in images and translation of the common dialogs live in this static library; they are
// registered on first use so that every program linking the library finds them under their ":/" paths.
namespace UiResources {

void ensureLoaded();

} // namespace UiResources
