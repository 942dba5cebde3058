#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// The keys whose values SecretMask hides, compared once decoded as their readers decode them, in any case (as
// QString compares without case: the Kelvin sign is a "k", the long s an "s").
namespace SecretKeys {

// "token", "authtoken", "accessKeySecret" or "securityToken", blanks around it left out.
bool isSecretName(QStringView key);

// A JSON string's inner text as a secret name once its escapes are resolved; taken as it stands when an escape is
// broken. escaped: the text may hold escapes.
bool isSecretJsonKey(QStringView key, bool escaped = true);

// A key of a field or header line as a secret name, percent escapes resolved.
bool isSecretFieldKey(QStringView key);

// A query key that names a signature, a token or a secret: any key ending in "signature", "token" or "secret", or
// "sign" or "sig" alone.
bool isSecretQueryKey(QStringView key);

// The characters of query keys: ASCII letters, digits, "_", "." and "-", and the Kelvin sign and the long s (they
// compare as "k" and "s").
bool isQueryKeyChar(QChar c);

// The text of UTF-8 bytes, percent escapes resolved.
QString percentDecoded(QStringView text);

} // namespace SecretKeys
