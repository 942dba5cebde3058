#include "app/StringUtil.h"

#include <limits>

namespace {

// Like the C library's tolower in the "C" locale: only ASCII capitals change.
ushort lowerAscii(ushort unit)
{
    return (unit >= 'A' && unit <= 'Z') ? ushort(unit + ('a' - 'A')) : unit;
}

} // namespace

namespace StringUtil {

bool keyLessNoCase(const KeyValuePair& a, const KeyValuePair& b)
{
    const QString& left = a.first;
    const QString& right = b.first;
    const int common = qMin(left.size(), right.size());
    for (int i = 0; i < common; ++i) {
        const ushort l = lowerAscii(left.at(i).unicode());
        const ushort r = lowerAscii(right.at(i).unicode());
        if (l != r)
            return l < r;
    }
    return left.size() < right.size();
}

QByteArray lowBytes(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        bytes[i] = char(text.at(i).unicode() & 0xFF);
    return bytes;
}

qint32 wstringToLong(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return 0;
    return qint32(value);
}

} // namespace StringUtil
