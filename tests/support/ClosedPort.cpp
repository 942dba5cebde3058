#include "ClosedPort.h"

#include <QHostAddress>
#include <QTcpServer>

namespace ZmTest {

quint16 closedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace ZmTest
