"""Requests whose parameters travel as signed header lines (RESTful calls and problem reports)."""

from . import signing


def header_pairs(entry, keys):
    """The header lines named in keys or "s", values decoded as UTF-8, in wire order."""
    wanted = set(keys) | {"s"}
    pairs = []
    for name, value in entry["headers"]:
        if name in wanted:
            pairs.append([name, value.encode("latin-1").decode("utf-8", "replace")])
    return pairs


def check(entry, keys):
    """Records the signed pairs as the entry's params, the keys missing, and whether the signature matches."""
    pairs = header_pairs(entry, keys)
    present = {name for name, _ in pairs}
    entry["params"] = pairs
    entry["sign_missing"] = [key for key in keys if key not in present]
    ok, sent, expected = signing.check_pairs(pairs)
    entry["sign_ok"] = ok
    entry["sign_sent"] = sent
    entry["sign_expected"] = expected
