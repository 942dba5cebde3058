#pragma once

// Registers the small class room's row (start status 4) with the window router: open clears the member map, deletes
// a room still there and creates and shows a new one; close releases the room's live resources, closes and deletes
// it. The router checks the lesson's offline package before the open. Called from main, before start-up.
void registerSmallClassRoomRoute();
