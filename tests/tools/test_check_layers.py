"""The layer check on small trees: it passes a tree that keeps its layers and names each include that breaks them."""

import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.environ.get('ZM_SOURCE_DIR', os.path.join(os.path.dirname(__file__), '..', '..')),
                       'tools', 'check_layers.py')

TABLE = """\
# folder rank
low       10
sealed    15  sees=
base      20
base/sub  25
peer      20
top       30
plug      40  sees=sealed
tests     -
"""

# Files every tree starts with; each of them keeps the layers.
CLEAN = {
    'low/Low.h': '#pragma once\n#include <QString>\n',
    'sealed/Frame.h': '#pragma once\n#include <cstdint>\n',
    'base/Base.h': '#pragma once\n#include "low/Low.h"\n',
    'base/Base.cpp': '#include "base/Base.h"\n#include "ui_Base.h"\n#include "Generated.h"\n',
    'base/sub/Sub.cpp': '#include "base/Base.h"\n#include "low/Low.h"\n',
    'peer/Peer.h': '#pragma once\n#include <low/Low.h>\n',
    'top/Top.cpp': '#include "base/sub/Sub.h"\n#include "peer/Peer.h"\n',
    'plug/Plug.cpp': '#include "sealed/Frame.h"\n#include <libavutil/frame.h>\n',
    'tests/tst_top.cpp': '#include "top/Top.h"\n#include "plug/Plug.h"\n',
}


def run_checker(files):
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            full = os.path.join(root, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, 'w', encoding='utf-8') as out:
                out.write(text)
        table = os.path.join(root, 'layers.txt')
        with open(table, 'w', encoding='utf-8') as out:
            out.write(TABLE)
        done = subprocess.run([sys.executable, CHECKER, '--root', root, '--table', table],
                              capture_output=True, text=True, timeout=60)
        return done.returncode, done.stdout


class LayerCheck(unittest.TestCase):
    def test_a_tree_that_keeps_its_layers_passes(self):
        code, output = run_checker(CLEAN)
        self.assertEqual(code, 0, output)

    def test_each_planted_violation_is_named(self):
        cases = [
            # file, its text, what the report must say
            ('low/Bad.cpp', '#include "base/Base.h"\n', 'low/Bad.cpp:1: low (rank 10) includes "base/Base.h" of base'),
            ('base/Bad.cpp', '// up\n#include "top/Top.h"\n', 'base/Bad.cpp:2: base (rank 20) includes "top/Top.h"'),
            ('base/Bad.cpp', '#include "base/sub/Sub.h"\n', 'base (rank 20) includes "base/sub/Sub.h" of base/sub'),
            ('base/Bad.h', '#include "peer/Peer.h"\n', 'base (rank 20) includes "peer/Peer.h" of peer (rank 20)'),
            ('base/Bad.h', '#include <top/Top.h>\n', 'includes "top/Top.h" of top'),
            ('base/Bad.cpp', '  #  include "tests/Helper.h"\n', 'of tests (not a library)'),
            ('sealed/Bad.cpp', '#include "low/Low.h"\n', 'sealed (rank 15, sees nothing) includes "low/Low.h"'),
            ('plug/Bad.cpp', '#include "low/Low.h"\n', 'plug (rank 40, sees sealed) includes "low/Low.h"'),
            ('top/Bad.cpp', '#include "newdir/Thing.h"\n', 'includes "newdir/Thing.h", whose folder has no row'),
            ('newdir/Thing.cpp', '#include "low/Low.h"\n', 'newdir/Thing.cpp: its folder has no row'),
            ('top/Bad.cpp', '#include "../low/Low.h"\n', 'by a relative path'),
        ]
        for path, text, expected in cases:
            with self.subTest(path=path, text=text):
                files = dict(CLEAN)
                files[path] = text
                if '"newdir/' in text:
                    files['newdir/README'] = 'a folder without sources\n'
                code, output = run_checker(files)
                self.assertEqual(code, 1, output)
                self.assertIn(expected, output)
                self.assertIn('layer check: 1 problem(s) with the layers', output)


if __name__ == '__main__':
    unittest.main()
