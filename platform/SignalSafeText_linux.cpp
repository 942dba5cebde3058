#include "platform/SignalSafeText.h"

#include "platform/AppendFile.h"

namespace Platform {

SignalSafeWriter& SignalSafeWriter::bytes(const char* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (m_used == sizeof m_buffer)
            flush();
        m_buffer[m_used++] = data[i];
    }
    return *this;
}

SignalSafeWriter& SignalSafeWriter::text(const char* text)
{
    return bytes(text, textLength(text));
}

SignalSafeWriter& SignalSafeWriter::decimal(long long value)
{
    char text[kDecimalTextSize];
    return bytes(text, decimalText(value, text));
}

SignalSafeWriter& SignalSafeWriter::hex(std::uint64_t value, int digits)
{
    static const char kHex[] = "0123456789abcdef";
    char text[16];
    int count = 0;
    do {
        text[count++] = kHex[value & 0xF];
        value >>= 4;
    } while (value != 0 && count < 16);
    bytes("0x", 2);
    for (int pad = count; pad < digits && pad < 16; ++pad)
        bytes("0", 1);
    while (count > 0)
        bytes(&text[--count], 1);
    return *this;
}

SignalSafeWriter& SignalSafeWriter::twoDigits(int value)
{
    const char text[2] = {char('0' + (value / 10) % 10), char('0' + value % 10)};
    return bytes(text, 2);
}

void SignalSafeWriter::flush()
{
    if (m_used > 0)
        writeAllSignalSafe(m_fd, m_buffer, m_used);
    m_used = 0;
}

bool writeAllSignalSafe(int fd, const char* data, std::size_t size)
{
    return writeToFile(fd, data, size) == size;
}

std::size_t decimalText(long long value, char (&out)[kDecimalTextSize])
{
    char digits[kDecimalTextSize];
    std::size_t count = 0;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t used = 0;
    if (negative)
        out[used++] = '-';
    while (count > 0)
        out[used++] = digits[--count];
    out[used] = '\0';
    return used;
}

std::size_t textLength(const char* text)
{
    std::size_t length = 0;
    while (text && text[length] != '\0')
        ++length;
    return length;
}

bool appendText(char* buffer, std::size_t size, const char* text)
{
    if (size == 0)
        return false;
    std::size_t used = textLength(buffer);
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (used + 1 >= size) {
            buffer[used] = '\0';
            return false;
        }
        buffer[used++] = text[i];
    }
    buffer[used] = '\0';
    return true;
}

namespace {

// The character at text[i] (a surrogate pair read whole, advancing i), encoded into encoded; its byte count.
std::size_t encodeUtf8At(const char16_t* text, std::size_t length, std::size_t& i, char (&encoded)[4])
{
    std::uint32_t code = text[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
        code = 0xFFFD;
    }
    if (code < 0x20 || code == 0x7F)
        code = ' ';
    std::size_t count = 0;
    if (code < 0x80) {
        encoded[count++] = char(code);
    } else if (code < 0x800) {
        encoded[count++] = char(0xC0 | (code >> 6));
        encoded[count++] = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        encoded[count++] = char(0xE0 | (code >> 12));
        encoded[count++] = char(0x80 | ((code >> 6) & 0x3F));
        encoded[count++] = char(0x80 | (code & 0x3F));
    } else {
        encoded[count++] = char(0xF0 | (code >> 18));
        encoded[count++] = char(0x80 | ((code >> 12) & 0x3F));
        encoded[count++] = char(0x80 | ((code >> 6) & 0x3F));
        encoded[count++] = char(0x80 | (code & 0x3F));
    }
    return count;
}

} // namespace

std::size_t utf16ToUtf8(const char16_t* text, std::size_t length, char* out, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < length; ++i) {
        char encoded[4];
        const std::size_t count = encodeUtf8At(text, length, i, encoded);
        if (used + count + 1 > size)
            break;
        for (std::size_t k = 0; k < count; ++k)
            out[used++] = encoded[k];
    }
    out[used] = '\0';
    return used;
}

std::size_t utf8LengthOfUtf16(const char16_t* text, std::size_t length)
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < length; ++i) {
        char encoded[4];
        total += encodeUtf8At(text, length, i, encoded);
    }
    return total;
}

} // namespace Platform
