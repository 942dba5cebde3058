"""Canned reply bodies kept as files under tests/sim/fixtures; "{{base}}" stands for the simulator's address."""

import os

FIXTURE_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "fixtures")


def path_of(*parts):
    return os.path.join(FIXTURE_DIR, *parts)


def load(state, *parts):
    """The fixture's bytes with placeholders filled in, or None when there is no such fixture."""
    try:
        with open(path_of(*parts), "r", encoding="utf-8") as handle:
            text = handle.read()
    except FileNotFoundError:
        return None
    return text.replace("{{base}}", state.base_url).encode("utf-8")
