#pragma once

// The compiled-in pictures of the replay (":/imageRes/image/res/"): they live in this static library and are
// registered on first use.
namespace ReplayResources {

void ensureLoaded();

} // namespace ReplayResources
