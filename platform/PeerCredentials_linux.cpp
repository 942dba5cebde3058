#include "platform/PeerCredentials.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace Platform {

bool isPeerOfThisUser(qintptr socketDescriptor, QString* error)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials) {
        if (error)
            *error = QStringLiteral("cannot read the peer's credentials: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (credentials.uid != ::geteuid()) {
        if (error)
            *error = QStringLiteral("the peer (process %1) runs as another user (%2)")
                         .arg(credentials.pid)
                         .arg(credentials.uid);
        return false;
    }
    return true;
}

} // namespace Platform
