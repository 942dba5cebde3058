// Builds a parameter list from arbitrary bytes (lines alternate key and value, read as UTF-8) and signs it
// as a request and as a page address; the request signature must keep its shape.
#include "net/api/RequestSign.h"
#include "net/api/UrlSigner.h"

#include "QuietQtMessages.h"

#include <QList>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();

    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QList<QByteArray> lines = bytes.split('\n');
    ApiParamList params;
    for (int i = 0; i + 1 < lines.size(); i += 2)
        params.append({QString::fromUtf8(lines.at(i)), QString::fromUtf8(lines.at(i + 1))});

    const QByteArray alphabet = requestSignAlphabet();
    const QString sign = makeRequestSign(params, alphabet);
    if (sign.size() != 18)
        std::abort();
    for (const QChar symbol : sign) {
        if (!alphabet.contains(char(symbol.unicode())))
            std::abort();
    }

    const QString tail = UrlSigner::signQuery(params, QStringLiteral("1700000000000"), QStringLiteral("1.5.7"));
    if (!tail.contains(QStringLiteral("?sign=")))
        std::abort();
    return 0;
}
