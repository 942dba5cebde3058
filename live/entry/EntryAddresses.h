#pragma once

#include <QString>

// A new GUID as 32 hexadecimal digits: the first group of 8, the second of 4 and the eight single bytes in
// upper case, the third group of 4 in lower case; "create guid error" when none can be made. Sent as the
// class-entry requests' "client-request-hex".
QString createGuidString();

// The class-entry requests' "client-time-stamp": whole seconds since 1970-01-01 UTC, in decimal.
QString requestTimeStamp();

// The class room's whiteboard page: the URL configuration's whiteboard address followed by the signed tail of
// identity ("student", "teacher" or "guest" by the account type), userId, lessonId, periodId, partId "1" and mr "1".
QString buildWhiteboardUrl();
