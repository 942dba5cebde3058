#pragma once

// Tells the window router that the class room has ended (event code 0); the router then releases, closes and
// deletes the room. Dropped, with a warning, while there is no router. GUI thread.
void postClassRoomEnded();
