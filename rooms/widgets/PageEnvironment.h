#pragma once

#include <QtGlobal>

class Whiteboard;

// Answers the page's environment request ("msg-n2w-post-env") for userId: this machine's device id ("deviceUid"),
// the system's name ("systemVersion") and the program's four-part version ("appVersion"). GUI thread.
void postPageEnvironment(Whiteboard* page, quint32 userId);
