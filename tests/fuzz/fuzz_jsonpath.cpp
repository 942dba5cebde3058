// Feeds arbitrary bytes to the JSON path reader: as a document whose own key paths and string values are
// queried, and as a raw path into a fixed document.
#include "app/JsonPath.h"

#include "QtLeakScope.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

QJsonDocument parseIgnoringQtLeaks(const QByteArray& bytes)
{
    const QtLeakScope ignoreQtLeaks;
    return QJsonDocument::fromJson(bytes);
}

constexpr int kMaxDepth = 8;

void queryAll(const JsonPath& reader, const QJsonObject& object, const std::string& prefix, int depth)
{
    if (depth > kMaxDepth)
        return;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const std::string path = prefix + "/" + it.key().toStdString();
        reader.string(path);
        reader.array(path);
        reader.valueAt(path);
        if (it.value().isString())
            reader.string(it.value().toString().toStdString());
        if (it.value().isObject())
            queryAll(reader, it.value().toObject(), path, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const std::string raw(bytes.constData(), size_t(bytes.size()));

    static const JsonPath fixed(
        QJsonDocument::fromJson(R"({"data":{"id":42,"list":[1,2],"info":{"name":"x/y","flag":true}}})").object());
    fixed.string(raw);
    fixed.array(raw);
    splitJsonPath(raw);

    const QJsonDocument document = parseIgnoringQtLeaks(bytes);
    if (!document.isObject())
        return 0;
    const JsonPath reader(document.object());
    queryAll(reader, document.object(), std::string(), 0);
    return 0;
}
