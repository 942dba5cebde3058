#!/usr/bin/python3
"""Class service simulator for the tests; see README.md beside this file."""

import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from zmsim.main import main  # noqa: E402

if __name__ == "__main__":
    sys.exit(main())
