#pragma once

#include <QString>

class QUrl;

// Where an address leads, as "scheme://host:port": scheme and host in lower case, the port as a number, the
// default port written out for http and ws (80) and https and wss (443).

// The origin of a service address given as text. Empty when the text is no absolute address of a host, or when
// its authority holds anything but a host name (letters, digits, ".", "-", "_"), a bracketed IP address and a
// port of digits: user info, percent escapes, back-slashes, blanks or other letters are read differently by
// different readers, so such an address has no origin to compare.
QString addressOrigin(const QString& address);

// The origin of a page as the browser reports it: "file://" for every local file, empty for an address without
// a host (about:, data:).
QString pageOrigin(const QUrl& url);
