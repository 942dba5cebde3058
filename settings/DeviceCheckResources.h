#pragma once

// The device check's compiled-in pictures (":/config/img/") live in this static library; they are registered on
// first use so that every program linking the library finds them.
namespace DeviceCheckResources {

void ensureLoaded();

} // namespace DeviceCheckResources
