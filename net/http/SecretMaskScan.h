#pragma once

#include <QVarLengthArray>
#include <QtGlobal>

// One sweep over a text for SecretMask (vectorised where the processor allows): where its quotes and backslashes
// are, a bit for each position, so that JSON members are then found without looking at every character again;
// where the last key that may name a secret starts at the latest; and which of the characters the other masks
// start at it holds.
class SecretMaskScan
{
public:
    // The characters the masks after the JSON members look for: percent escapes, and line ends and separators of
    // fields ("?", "&", ";").
    enum Found : unsigned
    {
        kPercent = 1,
        kFieldEnd = 2,
    };

    SecretMaskScan(const ushort* text, int size);

    // Line ends and the separators of fields: where the masks after the JSON members look for a field (kFieldEnd).
    static bool isFieldEnd(ushort c) { return c == '\r' || c == '\n' || c == '?' || c == '&' || c == ';'; }

    // The Found bits of the characters the text holds.
    unsigned found() const { return m_found; }

    // Every key that may name a secret holds a "k", as written or escaped (or as another character that folds to
    // it): the last one starts at the last "k" at the latest. The text's size when that can't be told.
    int lastSecretKeyStart() const { return m_hasBackslash || m_wide ? int(m_size) : m_lastK; }

    // The first quote, or backslash, at or after from; the text's size when there is none.
    int nextQuote(int from) const { return next(m_words.data(), unsigned(from)); }
    int nextBackslash(int from) const
    {
        return m_hasBackslash ? next(m_words.data() + m_count, unsigned(from)) : int(m_size);
    }

private:
    int next(const quint64* words, unsigned from) const
    {
        if (from >= m_size)
            return int(m_size);
        unsigned word = from / 64;
        const quint64 bits = words[word] >> (from % 64);
        if (bits != 0)
            return int(from + unsigned(__builtin_ctzll(bits)));
        while (++word < m_count) {
            if (words[word] != 0)
                return int(word * 64 + unsigned(__builtin_ctzll(words[word])));
        }
        return int(m_size);
    }

    QVarLengthArray<quint64, 64> m_words; // the quotes' words, then the backslashes'
    unsigned m_size = 0;
    unsigned m_count = 0;
    unsigned m_found = 0;
    bool m_hasBackslash = false;
    bool m_wide = false; // a character beyond ASCII
    int m_lastK = -1;
};
