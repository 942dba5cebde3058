#pragma once

#include <QByteArray>

namespace Oss {

// The service's error reply: <Error><Code>..</Code><Message>..</Message><RequestId>..</RequestId>
// <HostId>..</HostId>...</Error>. Other elements (which may echo the request) are skipped.
struct ErrorReply
{
    QByteArray code;
    QByteArray message;
    QByteArray requestId;
    QByteArray hostId;
};

// False (reply untouched) when the body is no well-formed XML with the root element "Error".
bool parseErrorReply(const QByteArray& body, ErrorReply& reply);

} // namespace Oss
