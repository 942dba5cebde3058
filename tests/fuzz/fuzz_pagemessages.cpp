// Feeds arbitrary bytes to the whiteboard page's message intake, read as UTF-8 and as Latin-1 (a page can write
// any text), and sends what it decoded back the other way: the program-to-page JSON must parse again with the same
// members.
#include "web/whiteboard/WhiteboardMessages.h"

#include "QtLeakScope.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

PageMessage readIgnoringQtLeaks(const QString& text)
{
    const QtLeakScope ignoreQtLeaks;
    return readPageMessage(text);
}

bool survivesUtf8(const QString& text)
{
    return QString::fromUtf8(text.toUtf8()) == text;
}

void check(const QString& text)
{
    const PageMessage message = readIgnoringQtLeaks(text);
    const bool keyed = message.kind != PageMessageKind::Ignored && message.kind != PageMessageKind::VideoPlaying;
    if (!keyed && !message.key.isEmpty())
        abort();
    if (message.kind != PageMessageKind::PpApiShowed && message.kind != PageMessageKind::PpApiHidden &&
        message.userId != 0)
        abort();

    QMap<QString, QString> extra;
    extra.insert(QStringLiteral("domId"), message.domId);
    extra.insert(QStringLiteral("log"), message.logText);
    const QByteArray json = pageMessageJson(message.key, message.userId, extra);
    const QJsonObject back = QJsonDocument::fromJson(json).object();
    if (back.value(QStringLiteral("userId")).toString() != QString::number(message.userId))
        abort();
    if (survivesUtf8(message.key) && back.value(QStringLiteral("key")).toString() != message.key)
        abort();
    if (survivesUtf8(message.domId) && back.value(QStringLiteral("domId")).toString() != message.domId)
        abort();
    if (!passMessageScript(message.key, message.userId, extra).startsWith(QLatin1String("passMessage({")))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    check(QString::fromUtf8(bytes));
    check(QString::fromLatin1(bytes));
    return 0;
}
