#pragma once

// Registers the public class room's row (start status 3) with the window router: open clears the member map,
// deletes a room still there, and creates and shows a new one; close clears a teacher's muted-audio flag, releases
// the room's live resources, closes and deletes it. Called from main, before start-up.
void registerPublicClassRoomRoute();
