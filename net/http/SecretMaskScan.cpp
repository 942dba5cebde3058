#include "net/http/SecretMaskScan.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

unsigned foundIn(ushort c)
{
    if (c == '%')
        return SecretMaskScan::kPercent;
    return SecretMaskScan::isFieldEnd(c) ? unsigned(SecretMaskScan::kFieldEnd) : 0u;
}

#if defined(__SSE2__)
// The bytes that are line ends or field separators (isFieldEnd).
__m128i fieldEnds(__m128i bytes)
{
    const __m128i lineEnds =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    const __m128i separators =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('?')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'))),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8(';')));
    return _mm_or_si128(lineEnds, separators);
}
#endif

} // namespace

SecretMaskScan::SecretMaskScan(const ushort* text, int size)
    : m_words(2 * ((size + 63) / 64))
    , m_size(unsigned(size))
    , m_count(unsigned(size + 63) / 64)
{
    std::fill(m_words.begin(), m_words.end(), quint64(0));
    quint64* quotes = m_words.data();
    quint64* backslashes = quotes + m_count;
    unsigned i = 0;
#if defined(__SSE2__)
    __m128i percents = _mm_setzero_si128();
    __m128i ends = _mm_setzero_si128();
    for (; i + 16 <= m_size; i += 16) {
        // Sixteen characters as bytes: those above 255 become 0 or 255, which none of the wanted ones is.
        const __m128i bytes = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i)),
                                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8)));
        quotes[i / 64] |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))))) << (i % 64);
        backslashes[i / 64] |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')))))
                               << (i % 64);
        percents = _mm_or_si128(percents, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('%')));
        ends = _mm_or_si128(ends, fieldEnds(bytes));
        const unsigned ks = unsigned(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('k')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('K')))));
        if (ks != 0)
            m_lastK = int(i) + 31 - __builtin_clz(ks);
        m_wide = m_wide || _mm_movemask_epi8(bytes) != 0;
    }
    if (_mm_movemask_epi8(percents) != 0)
        m_found |= kPercent;
    if (_mm_movemask_epi8(ends) != 0)
        m_found |= kFieldEnd;
#endif
    for (; i < m_size; ++i) {
        if (text[i] == '"')
            quotes[i / 64] |= quint64(1) << (i % 64);
        else if (text[i] == '\\')
            backslashes[i / 64] |= quint64(1) << (i % 64);
        else if (text[i] == 'k' || text[i] == 'K')
            m_lastK = int(i);
        m_wide = m_wide || text[i] >= 0x80;
        m_found |= foundIn(text[i]);
    }
    for (unsigned word = 0; word < m_count; ++word)
        m_hasBackslash = m_hasBackslash || backslashes[word] != 0;
}
