"""Requests whose parameters travel as signed header lines (RESTful calls and problem reports)."""

from . import signing


def decode(value):
    """A header value as logged (one character per byte) read as UTF-8."""
    return value.encode("latin-1").decode("utf-8", "replace")


def header_pairs(entry, keys):
    """The header lines named in keys or "s", values decoded as UTF-8, in wire order."""
    wanted = set(keys) | {"s"}
    return [[name, decode(value)] for name, value in entry["headers"] if name in wanted]


def check(entry, keys):
    """Records the signed pairs as the entry's params, the keys missing, and whether the signature matches."""
    pairs = header_pairs(entry, keys)
    present = {name for name, _ in pairs}
    entry["params"] = pairs
    entry["sign_missing"] = [key for key in keys if key not in present]
    signing.record_check(entry, pairs)
