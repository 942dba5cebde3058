#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace ZmTest {

using RawHeaderList = QList<QPair<QByteArray, QByteArray>>;

// What came back for one request sent byte for byte over a plain TCP connection.
struct RawHttpResult
{
    bool connected = false;
    bool closedByPeer = false; // the server closed the connection
    bool timedOut = false;     // the time-out passed before a whole reply arrived or the server closed
    QByteArray received;       // every byte received, unparsed

    bool complete = false; // a whole reply was parsed from received
    int status = 0;
    RawHeaderList headers;
    QByteArray body; // de-chunked when the reply was chunked

    QByteArray header(const QByteArray& name) const; // first header of that name (any case), or empty
};

// Builds "<method> <target> HTTP/1.1" with a Host line, the given header lines in order, Content-Length when there
// is a body (or the method is POST/PUT) and "Connection: close".
QByteArray buildHttpRequest(const QByteArray& method, const QByteArray& target, const QByteArray& host,
                            const RawHeaderList& headers = {}, const QByteArray& body = {});

// Sends the request bytes to host:port and reads until a whole reply has arrived, the server closes the connection,
// or timeoutMs passes. Blocking; does not run the event loop.
RawHttpResult rawHttpExchange(const QString& host, quint16 port, const QByteArray& request, int timeoutMs);

} // namespace ZmTest
