#pragma once

#include <cstddef>
#include <cstdint>

// Text output that is safe inside a signal handler: no allocation, no locks, no stdio; only write(2).
namespace Platform {

// Collects text in a fixed buffer and writes it to a file descriptor when full and on flush().
class SignalSafeWriter
{
public:
    explicit SignalSafeWriter(int fd)
        : m_fd(fd)
    {
    }
    ~SignalSafeWriter() { flush(); }

    SignalSafeWriter(const SignalSafeWriter&) = delete;
    SignalSafeWriter& operator=(const SignalSafeWriter&) = delete;

    SignalSafeWriter& text(const char* text);
    SignalSafeWriter& bytes(const char* data, std::size_t size);
    SignalSafeWriter& decimal(long long value);
    // "0x" and at least digits lower-case hexadecimal digits.
    SignalSafeWriter& hex(std::uint64_t value, int digits = 1);
    SignalSafeWriter& newline() { return text("\n"); }
    // Two decimal digits with a leading zero.
    SignalSafeWriter& twoDigits(int value);
    void flush();

private:
    int m_fd;
    std::size_t m_used = 0;
    char m_buffer[512];
};

// Writes everything, retrying after interruptions; false when the descriptor refuses.
bool writeAllSignalSafe(int fd, const char* data, std::size_t size);

// Room for any decimalText: sign, 19 digits and the NUL.
constexpr std::size_t kDecimalTextSize = 24;

// value in base 10 (with "-" when negative) into out, NUL-terminated; the characters written.
std::size_t decimalText(long long value, char (&out)[kDecimalTextSize]);

// Length of a NUL-terminated text.
std::size_t textLength(const char* text);

// Appends text to a NUL-terminated text in a buffer of size bytes, cutting it when it doesn't fit; false then.
bool appendText(char* buffer, std::size_t size, const char* text);

// UTF-16 to UTF-8 into out (at most size - 1 bytes, then NUL-terminated; a character that doesn't fit whole
// is left out). Line breaks and other control characters become blanks. The bytes written.
std::size_t utf16ToUtf8(const char16_t* text, std::size_t length, char* out, std::size_t size);

// The bytes utf16ToUtf8 writes for the whole text (without the NUL).
std::size_t utf8LengthOfUtf16(const char16_t* text, std::size_t length);

} // namespace Platform
