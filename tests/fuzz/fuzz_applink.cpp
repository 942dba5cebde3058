// Link text through the whole path a token takes: read by the running copy (URL form, split, decoded twice) and by
// the start that got it (split, decoded once), masked for the log, and sent as a header line that the transfer
// trace masks. For each reading, masking changes exactly the secret values; a link whose URL form differs keeps
// nothing after its scheme when that form holds a secret; no secret is read back from what a start logs.
#include "app/CommandLine.h"
#include "app/OptionSecrets.h"
#include "net/http/HttpCurl.h"
#include "net/http/SecretMask.h"

#include "QuietQtMessages.h"

#include <QHash>
#include <QUrl>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

using OptionTable = QHash<QString, QString>;

// How the running copy reads a link handed to it.
OptionTable readAsLink(const QString& text)
{
    const QStringList pieces = splitOpenedLink(QUrl(text).toString(QUrl::FullyEncoded));
    return readOptionTable(normalizeArguments(pieces.size(), pieces));
}

// How the start that got the text as an argument reads it.
OptionTable readAsArgument(const QString& text)
{
    QStringList list;
    splitOptionText(text, list);
    return readOptionTable(list);
}

// The masking's rule: the name trimmed, without its "--", lower-cased.
bool isSecretKey(const QString& key)
{
    QString name = key.trimmed();
    if (name.startsWith(QLatin1String("--")))
        name = name.mid(2).trimmed();
    name = name.toLower();
    return name == QLatin1String("token") || name == QLatin1String("authtoken");
}

bool isMasked(const QString& value)
{
    return value.trimmed().isEmpty() || value == QLatin1String("***");
}

bool holdsSecret(const OptionTable& options)
{
    for (auto it = options.constBegin(); it != options.constEnd(); ++it) {
        if (isSecretKey(it.key()) && !it.value().trimmed().isEmpty())
            return true;
    }
    return false;
}

// Nothing secret can be read from masked.
void checkNoSecretLeft(const OptionTable& masked)
{
    for (auto it = masked.constBegin(); it != masked.constEnd(); ++it) {
        if (isSecretKey(it.key()))
            check(isMasked(it.value()));
    }
}

// masked reads as original does, with every secret value masked.
void checkOnlySecretsChanged(const OptionTable& original, const OptionTable& masked)
{
    check(original.size() == masked.size());
    for (auto it = original.constBegin(); it != original.constEnd(); ++it) {
        check(masked.contains(it.key()));
        const QString value = masked.value(it.key());
        if (!isSecretKey(it.key()) || it.value().trimmed().isEmpty())
            check(value == it.value());
        else
            check(value == QLatin1String("***"));
    }
}

// The token as the exchange sends it: a header line in the transfer trace, masked to the line's end.
void checkHeaderTrace(const OptionTable& options)
{
    const QString token = options.value(QStringLiteral("--authtoken"), options.value(QStringLiteral("--token")));
    const QByteArray line = HttpCurl::headerLine(QStringLiteral("token"), token);
    if (!line.startsWith("token:"))
        return;
    const QString trace = SecretMask::maskSecrets(QStringLiteral("GET / HTTP/1.1\r\n") + QString::fromUtf8(line) +
                                                  QStringLiteral("\r\nuserId:7\r\n"));
    const int at = trace.indexOf(QLatin1String("\r\ntoken:***"));
    check(at >= 0);
    const QStringRef rest = trace.midRef(at + 11);
    check(rest.isEmpty() || rest.startsWith(QLatin1String("\r\n")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    quietQtMessages();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));

    // What the running copy logs of a link handed to it.
    const QString linkShown = maskOptionSecrets(text, OptionTextKind_Link);
    const QString url = QUrl(text.trimmed()).toString(QUrl::FullyEncoded);
    const bool exactUrl = url.compare(text.trimmed(), Qt::CaseInsensitive) == 0;
    if (exactUrl)
        checkOnlySecretsChanged(readAsLink(text), readAsLink(linkShown));
    else if (holdsSecret(readAsLink(text)))
        check(linkShown.endsWith(QLatin1String("***")) && linkShown.size() <= text.size() + 3 &&
              (linkShown.size() == 3 || linkShown.at(linkShown.size() - 4) == QLatin1Char(':')));

    // What a start logs of its argument, read here or handed over.
    checkOnlySecretsChanged(readAsArgument(text), readAsArgument(maskOptionSecrets(text, OptionTextKind_Argument)));
    const QString argumentShown = maskOptionSecrets(text, OptionTextKind_Argument | OptionTextKind_Link);
    checkNoSecretLeft(readAsArgument(argumentShown));
    if (exactUrl)
        checkNoSecretLeft(readAsLink(argumentShown));

    checkHeaderTrace(readAsLink(text));
    return 0;
}
