// Feeds arbitrary bytes to the readers of the class service's replies, as a reply body and as log text.
#include "net/api/ApiReply.h"
#include "net/http/SecretMask.h"

#include "QtLeakScope.h"

#include <cstddef>
#include <cstdint>

namespace {

QJsonObject parseIgnoringQtLeaks(const QByteArray& bytes)
{
    const QtLeakScope ignoreQtLeaks;
    return parseReplyObject(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QJsonObject reply = parseIgnoringQtLeaks(bytes);

    readTagCode(reply, TagCodeReading::AnyScalar);
    readTagCode(reply, TagCodeReading::StringOnly);
    const QMap<QString, QString> info = readOssUploadInfo(reply);
    ossObjectAddress(info);
    readStudentPoints(reply);
    readFeedbackItems(reply, QStringLiteral("en"));
    readFeedbackItems(reply, QStringLiteral("cn"));
    readIsSuccess(reply);
    readWsUrl(reply);
    readSuccessFlag(reply);

    const QString text = QString::fromUtf8(bytes);
    integerFromText(text);
    const QString masked = SecretMask::logExcerpt(replyText(reply), 4096);
    SecretMask::maskSecrets(text);
    SecretMask::logExcerpt(text, 64);
    (void)masked;
    return 0;
}
