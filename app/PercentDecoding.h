#pragma once

// The percent-decoding of option texts, shared by the parser and the secret masking so that both read a text alike.
namespace PercentDecoding {

inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes bytes[0, size): "%" followed by two hexadecimal digits becomes that byte; any other byte, "%" included,
// stays. Calls emit(byte, first, end) for every byte out, with the stretch [first, end) of the input it came from.
template <typename Emit> void decode(const char* bytes, int size, Emit&& emit)
{
    for (int i = 0; i < size; ++i) {
        if (bytes[i] == '%' && i + 2 < size) {
            const int high = hexValue(bytes[i + 1]);
            const int low = hexValue(bytes[i + 2]);
            if (high >= 0 && low >= 0) {
                emit(char((high << 4) | low), i, i + 3);
                i += 2;
                continue;
            }
        }
        emit(bytes[i], i, i + 1);
    }
}

} // namespace PercentDecoding
