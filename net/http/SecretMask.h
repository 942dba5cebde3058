#pragma once

#include <QByteArray>
#include <QString>

// Keeps credentials out of the logs. The values of the keys "token", "authtoken", "accessKeySecret" and
// "securityToken" (any case, compared once the key is decoded as its reader decodes it: JSON escapes, percent
// escapes) are replaced by "***" wherever they appear as
//   - a JSON member:                  "token":"abc"           -> "token":"***"
//   - a percent-encoded JSON member:  %22token%22%3A%22abc%22  -> %22token%22%3A%22***%22
//   - a header line (to its end):     token:abc&d             -> token:***
//   - a form or query field:          token=abc&b=1, %74oken=abc -> token=***&b=1, %74oken=***
// and query or form values whose key names a signature, a token or a secret (any case, any prefix: "Signature",
// "security-token", "X-Amz-Signature", "sign", "sig"), also inside a percent-encoded address:
//   - ?Expires=1&Signature=abc&security-token=t  -> ?Expires=1&Signature=***&security-token=***
// A value cut off by the end of the text is masked up to the end.
namespace SecretMask {

QString maskSecrets(const QString& text);

// maskSecrets of the text cut to maxChars characters, with a note of the full length when it was cut.
QString logExcerpt(const QString& text, int maxChars = 65536);

// The text shown in place of a secret.
inline QString maskText()
{
    return QStringLiteral("***");
}

} // namespace SecretMask
