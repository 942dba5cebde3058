#pragma once

// The application data of a lesson about to be entered: user 100234 (pupil), 300451 (teacher) or 100999
// (auditor) by the account type, period 20240611093, lesson 880213, teaching type 1, class type 1; no member yet.
void setUpEntryLesson(int accountType = 1);
