#pragma once

#include <QString>

// An information message box without parent, with the given title and text and one button, Yes; returns when it
// is closed. The title and text are logged first.
//
// With the environment variable ZM_MESSAGE_BOX_AUTOCLOSE_MS set to a number of milliseconds the box answers Yes
// by itself after that time (unattended runs and tests read the logged text).
void showInformationBox(const QString& title, const QString& text);
