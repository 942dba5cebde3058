// Offline web-resource versions: the manifest reader and the version triples over arbitrary bytes.
#include "app/VersionTriple.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QString fromManifest = versionFromJson(bytes);
    const QString asText = QString::fromUtf8(bytes);

    const VersionTriple a = parseVersionTriple(fromManifest);
    const VersionTriple b = parseVersionTriple(asText);
    // Strictly newer is an order: never both ways, never against itself.
    if (isNewerVersion(a, b) && isNewerVersion(b, a))
        std::abort();
    if (isNewerVersion(b, b) || isNewerVersion(fromManifest, fromManifest))
        std::abort();
    return 0;
}
