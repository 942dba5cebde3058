#include "net/api/RequestSign.h"

#include <QDebug>

#include <algorithm>
#include <array>

namespace {

// Shared with the class service: exchange it here together with the service's copy.
const char kRequestSignAlphabet[] = "q7w!m2x#k9v$p4z%";

constexpr int kBlockSize = 8;
constexpr int kAlphabetSize = 16;

} // namespace

QByteArray requestSignAlphabet()
{
    return QByteArray(kRequestSignAlphabet);
}

QString makeRequestSign(const ApiParamList& params, const QByteArray& alphabet)
{
    if (alphabet.size() < kAlphabetSize) {
        qWarning() << "makeRequestSign alphabet too short:" << alphabet.size();
        return QString();
    }

    ApiParamList sorted = params;
    std::stable_sort(sorted.begin(), sorted.end(), StringUtil::keyLessNoCase);

    QString values;
    for (const KeyValuePair& pair : sorted)
        values += pair.second;
    const QByteArray bytes = StringUtil::lowBytes(values);

    // XOR of all whole 8-byte blocks; a single block alone is not used, and trailing bytes never enter.
    std::array<unsigned char, kBlockSize> folded{};
    const int blocks = bytes.size() / kBlockSize;
    if (blocks >= 2) {
        for (int block = 0; block < blocks; ++block) {
            for (int j = 0; j < kBlockSize; ++j)
                folded[j] ^= static_cast<unsigned char>(bytes.at(block * kBlockSize + j));
        }
    }

    QByteArray sign;
    sign.reserve(2 * kBlockSize + 2);
    unsigned int highSum = 0;
    for (unsigned char b : folded) {
        // Bits 3..6 for the high symbol (bit 7 is never used), bits 0..3 for the low one.
        const char high = alphabet.at((b >> 3) & 0x0F);
        const char low = alphabet.at(b & 0x0F);
        highSum += static_cast<unsigned char>(high);
        sign.append(high);
        sign.append(low);
    }
    sign.append(alphabet.at(int(highSum % 16)));
    sign.append(alphabet.at(int(highSum % 13)));
    return QString::fromLatin1(sign);
}
