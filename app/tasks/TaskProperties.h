#pragma once

// Property keys that bodies use to hand results along a chain.

// The reply body of a request task, carried as a QByteArray value.
inline constexpr char TaskProperty_Response[] = "Response";

// The lesson context the task runs for (a LessonContext value; see app/TaskLessonContext.h).
inline constexpr char TaskProperty_LessonContext[] = "LessonContext";
