#include "RawHttp.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace ZmTest {

namespace {

// Parses the status line and header lines; false while the head is not complete.
bool parseHead(const QByteArray& data, RawHttpResult& result, int& bodyStart)
{
    const int end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = data.left(end).split('\n');
    const QList<QByteArray> statusParts = lines.value(0).trimmed().split(' ');
    bool ok = false;
    result.status = statusParts.value(1).toInt(&ok);
    if (!statusParts.value(0).startsWith("HTTP/") || !ok)
        result.status = 0;
    result.headers.clear();
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).endsWith('\r') ? lines.at(i).chopped(1) : lines.at(i);
        const int colon = line.indexOf(':');
        if (colon > 0)
            result.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    bodyStart = end + 4;
    return true;
}

// De-chunks data; false while the last chunk has not arrived.
bool dechunk(const QByteArray& data, QByteArray& body)
{
    body.clear();
    int pos = 0;
    while (true) {
        const int lineEnd = data.indexOf("\r\n", pos);
        if (lineEnd < 0)
            return false;
        bool ok = false;
        const QByteArray sizeText = data.mid(pos, lineEnd - pos).split(';').value(0).trimmed();
        const int size = sizeText.toInt(&ok, 16);
        if (!ok || size < 0)
            return false;
        if (size == 0)
            return true;
        if (data.size() < lineEnd + 2 + size + 2)
            return false;
        body.append(data.mid(lineEnd + 2, size));
        pos = lineEnd + 2 + size + 2;
    }
}

// Fills the parsed fields of result from result.received; true when a whole reply is there.
bool parseReply(RawHttpResult& result, bool peerClosed)
{
    int bodyStart = 0;
    if (!parseHead(result.received, result, bodyStart))
        return false;
    const QByteArray rest = result.received.mid(bodyStart);
    if ((result.status >= 100 && result.status < 200) || result.status == 204 || result.status == 304) {
        result.body.clear();
        return true;
    }
    if (result.header("Transfer-Encoding").toLower().contains("chunked"))
        return dechunk(rest, result.body);
    const QByteArray lengthText = result.header("Content-Length");
    if (!lengthText.isEmpty()) {
        const int length = lengthText.toInt();
        result.body = rest.left(length);
        return rest.size() >= length;
    }
    result.body = rest;
    return peerClosed;
}

} // namespace

QByteArray RawHttpResult::header(const QByteArray& name) const
{
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

QByteArray buildHttpRequest(const QByteArray& method, const QByteArray& target, const QByteArray& host,
                            const RawHeaderList& headers, const QByteArray& body)
{
    QByteArray request = method + ' ' + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    for (const auto& pair : headers)
        request += pair.first + ": " + pair.second + "\r\n";
    if (!body.isEmpty() || method == "POST" || method == "PUT")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n";
    return request + body;
}

RawHttpResult rawHttpExchange(const QString& host, quint16 port, const QByteArray& request, int timeoutMs)
{
    RawHttpResult result;
    QDeadlineTimer deadline(timeoutMs);
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return result;
    result.connected = true;
    socket.write(request);
    while (socket.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            break;
    }
    while (true) {
        result.received += socket.readAll();
        if (socket.state() != QAbstractSocket::ConnectedState) {
            result.closedByPeer = true;
            break;
        }
        if (parseReply(result, false))
            break;
        if (deadline.hasExpired()) {
            result.timedOut = true;
            break;
        }
        if (!socket.waitForReadyRead(int(deadline.remainingTime()))) {
            if (socket.state() != QAbstractSocket::ConnectedState) {
                result.received += socket.readAll();
                result.closedByPeer = true;
            } else {
                result.timedOut = true;
            }
            break;
        }
    }
    result.complete = parseReply(result, result.closedByPeer);
    socket.abort();
    return result;
}

} // namespace ZmTest
