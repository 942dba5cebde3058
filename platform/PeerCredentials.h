#pragma once

#include <QString>
#include <QtGlobal>

namespace Platform {

// True when the process at the other end of the connected local socket runs as this user, by the credentials
// the kernel recorded when the connection was made (or the listening socket was set up). False, with the
// reason in *error, for another user or when the credentials cannot be read.
bool isPeerOfThisUser(qintptr socketDescriptor, QString* error = nullptr);

} // namespace Platform
