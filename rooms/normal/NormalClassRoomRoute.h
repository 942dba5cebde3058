#pragma once

// Registers the normal class room's row (start status 2) with the window router: open clears the member map and
// creates and shows the room, or keeps (and logs) a room that is still there; close clears a teacher's muted-audio
// flag, releases the room's live resources, closes and deletes it. Called from main, before start-up.
void registerNormalClassRoomRoute();
