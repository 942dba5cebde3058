// Feeds arbitrary bytes to what the object-storage client reads from outside: the service's XML error reply, and
// the endpoint, bucket and key that come with the upload credentials (the object's address is built from them).
#include "net/oss/OssAddress.h"
#include "net/oss/OssErrorReply.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    Oss::ErrorReply reply;
    Oss::parseErrorReply(bytes, reply);

    // The first line as endpoint, the second as bucket, the rest as key.
    const QList<QByteArray> parts = bytes.split('\n');
    const QByteArray endpointText = parts.value(0);
    const QByteArray bucket = parts.value(1);
    const QByteArray key = bytes.mid(endpointText.size() + bucket.size() + 2);
    const Oss::Endpoint endpoint = Oss::parseEndpoint(endpointText);
    if (endpoint.isValid() && Oss::isValidBucketName(bucket) && Oss::isValidObjectKey(key)) {
        const QByteArray url = Oss::objectUrl(endpoint, bucket, key);
        // The address has no blanks, line breaks or other bytes outside printable ASCII.
        for (const char c : url) {
            if (c <= ' ' || c >= 0x7F)
                __builtin_trap();
        }
    }
    return 0;
}
