"""Request signature of the class service, written independently of the client.

The signature covers the values of a parameter list sorted by key (ASCII letters compared without case,
then by UTF-16 code unit). Values are narrowed to the low byte of each UTF-16 code unit, whole 8-byte blocks
are folded by XOR (only when there are at least two of them), and every accumulator byte gives two symbols of
the alphabet: bits 3..6 and bits 0..3. Two check symbols follow: the sum of the character codes of the eight
high symbols, modulo 16 and modulo 13.
"""

ALPHABET = "q7w!m2x#k9v$p4z%"

# Pairs that every RESTful request (and the problem report) signs after its own pairs, in wire order.
REST_COMMON_KEYS = ("c", "v", "p", "a", "t", "userId", "token")


def _lower_ascii(text):
    return "".join(chr(ord(ch) + 32) if "A" <= ch <= "Z" else ch for ch in text)


def key_order(key):
    """Sort key matching keyLessNoCase: lower-cased ASCII letters, then UTF-16 code units, prefixes first."""
    return _lower_ascii(key).encode("utf-16-be", "surrogatepass")


def sort_pairs(pairs):
    """A stable sort of (key, value) pairs by key_order; the input is left unchanged."""
    return sorted(pairs, key=lambda pair: key_order(pair[0]))


def narrow(text):
    """The low byte of every UTF-16 code unit of text."""
    return text.encode("utf-16-le", "surrogatepass")[0::2]


def make_sign(pairs, alphabet=ALPHABET):
    """The 18-symbol signature of a list of (key, value) text pairs."""
    if len(alphabet) != 16:
        raise ValueError("the signing alphabet has 16 symbols")
    data = narrow("".join(value for _, value in sort_pairs(pairs)))
    blocks = len(data) // 8
    acc = [0] * 8
    if blocks >= 2:
        for block in range(blocks):
            for j in range(8):
                acc[j] ^= data[8 * block + j]
    symbols = []
    high_sum = 0
    for byte in acc:
        high = alphabet[(byte >> 3) & 15]
        high_sum += ord(high)
        symbols.append(high)
        symbols.append(alphabet[byte & 15])
    symbols.append(alphabet[high_sum % 16])
    symbols.append(alphabet[high_sum % 13])
    return "".join(symbols)


def check_pairs(pairs, sign_key="s", alphabet=ALPHABET):
    """Checks a list that carries its own signature under sign_key.

    Returns (ok, sent, expected): the signature is computed over every pair except those keyed sign_key; sent is
    the last value under sign_key (None when there is none, which never matches).
    """
    sent = None
    signed = []
    for key, value in pairs:
        if key == sign_key:
            sent = value
        else:
            signed.append((key, value))
    expected = make_sign(signed, alphabet)
    return sent == expected, sent, expected


def record_check(entry, pairs, sign_key="s"):
    """Checks pairs as check_pairs does and keeps the outcome in the log entry's sign_ok, sign_sent, sign_expected."""
    ok, sent, expected = check_pairs(pairs, sign_key)
    entry["sign_ok"] = ok
    entry["sign_sent"] = sent
    entry["sign_expected"] = expected
