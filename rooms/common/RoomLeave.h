#pragma once

// What a room tells the class when its user leaves, through the class message engine (nothing without one).
// GUI thread.
namespace RoomLeave {

// The teacher leaves; endLesson ends the lesson for everyone. A screen share in progress is stopped and its end
// announced first (the application data's flag is cleared either way).
void announceTeacherLeave(bool endLesson);

// The pupil leaves.
void announcePupilLeave();

} // namespace RoomLeave
