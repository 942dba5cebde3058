#include "app/LogText.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

// A lone surrogate in the kept form: 0xED, then 0xA0 to 0xBF, then a continuation byte.
bool isKeptSurrogate(const unsigned char* bytes, std::size_t left)
{
    return left >= 3 && bytes[0] == 0xED && bytes[1] >= 0xA0;
}

char16_t keptSurrogate(const unsigned char* bytes)
{
    return char16_t(0xD000 | (bytes[1] & 0x3F) << 6 | (bytes[2] & 0x3F));
}

// QString::fromUtf8, except that a byte order mark at the start stays in the text.
QString fromUtf8KeepingMark(const char* data, std::size_t size)
{
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0)
        return QChar(0xFEFF) + QString::fromUtf8(data + 3, int(size - 3));
    return QString::fromUtf8(data, int(size));
}

} // namespace

std::size_t writeLogText(char* out, const QChar* text, std::size_t length, bool* loneSurrogate)
{
    const auto* units = reinterpret_cast<const char16_t*>(text);
    char* cursor = out;
    for (std::size_t i = 0; i < length; ++i) {
#if defined(__SSE2__)
        // Eight ASCII characters at a time: the usual text.
        for (; i + 8 <= length; i += 8, cursor += 8) {
            const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(eight, _mm_set1_epi16(short(0xFF80))),
                                                  _mm_setzero_si128())) != 0xFFFF)
                break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(cursor), _mm_packus_epi16(eight, eight));
        }
#endif
        // Four ASCII characters at a time.
        for (std::uint64_t four; i + 4 <= length; i += 4, cursor += 4) {
            std::memcpy(&four, units + i, sizeof four);
            if (four & 0xFF80FF80FF80FF80ULL)
                break;
            cursor[0] = char(units[i]);
            cursor[1] = char(units[i + 1]);
            cursor[2] = char(units[i + 2]);
            cursor[3] = char(units[i + 3]);
        }
        if (i == length)
            break;
        const char16_t unit = units[i];
        if (unit < 0x80) {
            *cursor++ = char(unit);
        } else if (unit < 0x800) {
            *cursor++ = char(0xC0 | unit >> 6);
            *cursor++ = char(0x80 | (unit & 0x3F));
        } else if (isHighSurrogate(unit) && i + 1 < length && isLowSurrogate(units[i + 1])) {
            const char32_t code = 0x10000 + (char32_t(unit - 0xD800) << 10) + (units[++i] - 0xDC00);
            *cursor++ = char(0xF0 | code >> 18);
            *cursor++ = char(0x80 | (code >> 12 & 0x3F));
            *cursor++ = char(0x80 | (code >> 6 & 0x3F));
            *cursor++ = char(0x80 | (code & 0x3F));
        } else {
            if (isHighSurrogate(unit) || isLowSurrogate(unit))
                *loneSurrogate = true;
            *cursor++ = char(0xE0 | unit >> 12);
            *cursor++ = char(0x80 | (unit >> 6 & 0x3F));
            *cursor++ = char(0x80 | (unit & 0x3F));
        }
    }
    return std::size_t(cursor - out);
}

QByteArray toLogText(const QString& text)
{
    QByteArray bytes(int(maxLogTextSize(std::size_t(text.size()))), Qt::Uninitialized);
    bool loneSurrogate = false;
    bytes.truncate(int(writeLogText(bytes.data(), text.constData(), std::size_t(text.size()), &loneSurrogate)));
    return bytes;
}

std::size_t replaceLoneSurrogates(char* data, std::size_t size)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size;) {
        if (isKeptSurrogate(reinterpret_cast<const unsigned char*>(data + i), size - i)) {
            data[kept++] = '?';
            i += 3;
        } else {
            data[kept++] = data[i++];
        }
    }
    return kept;
}

QString logTextToString(const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t surrogate = 0;
    while (surrogate < size && !isKeptSurrogate(bytes + surrogate, size - surrogate))
        ++surrogate;
    if (surrogate == size)
        return fromUtf8KeepingMark(data, size);
    // Rare: valid pieces between lone surrogates.
    QString text;
    std::size_t piece = 0;
    for (std::size_t i = 0; i < size;) {
        if (isKeptSurrogate(bytes + i, size - i)) {
            text += fromUtf8KeepingMark(data + piece, i - piece);
            text += QChar(keptSurrogate(bytes + i));
            i += 3;
            piece = i;
        } else {
            ++i;
        }
    }
    return text + fromUtf8KeepingMark(data + piece, size - piece);
}

void appendJsonString(QByteArray& out, const char* data, std::size_t size)
{
    static const char kHex[] = "0123456789abcdef";
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    out += '"';
    std::size_t plain = 0; // start of the bytes copied as they are
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = bytes[i];
        const bool escaped = byte < 0x20 || byte == '"' || byte == '\\';
        const bool surrogate = !escaped && isKeptSurrogate(bytes + i, size - i);
        if (!escaped && !surrogate)
            continue;
        out.append(data + plain, int(i - plain));
        char escape[7] = {'\\', 0, 0, 0, 0, 0, 0};
        int length = 2;
        if (surrogate) {
            const char16_t unit = keptSurrogate(bytes + i);
            escape[1] = 'u';
            for (int digit = 0; digit < 4; ++digit)
                escape[2 + digit] = kHex[unit >> (12 - 4 * digit) & 0xF];
            length = 6;
            i += 2;
        } else if (byte == '"' || byte == '\\') {
            escape[1] = char(byte);
        } else if (byte == '\b' || byte == '\f' || byte == '\n' || byte == '\r' || byte == '\t') {
            escape[1] = byte == '\b' ? 'b' : byte == '\f' ? 'f' : byte == '\n' ? 'n' : byte == '\r' ? 'r' : 't';
        } else {
            escape[1] = 'u';
            escape[2] = '0';
            escape[3] = '0';
            escape[4] = kHex[byte >> 4];
            escape[5] = kHex[byte & 0xF];
            length = 6;
        }
        out.append(escape, length);
        plain = i + 1;
    }
    out.append(data + plain, int(size - plain));
    out += '"';
}
