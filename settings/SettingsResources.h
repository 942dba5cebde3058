#pragma once

// The compiled-in pictures of the settings dialogs (and those of the common dialogs they use), registered on first
// use so that every program linking this static library finds them under their ":/" paths.
namespace SettingsResources {

void ensureLoaded();

} // namespace SettingsResources
