#!/usr/bin/env python3
"""Checks that no library includes a header of a higher layer (or of a folder it may not see).

Reads the layer table (tools/layers.txt) and the #include lines of every C and C++ source under the tree.
Prints one line per offending include and exits 1 when there is any; 0 when the tree keeps its layers.

    check_layers.py [--root <tree>] [--table <layers.txt>]
"""

import argparse
import os
import re
import sys

SOURCE_SUFFIXES = ('.h', '.hpp', '.c', '.cc', '.cpp', '.mm')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SKIPPED_DIRS = {'.git', '.ci'}


class Row:
    def __init__(self, folder, rank, sees):
        self.folder = folder
        self.rank = rank  # None: not a library
        self.sees = sees  # None: every lower rank; else the only folders it may include

    def may_include(self, other):
        if other is self:
            return True
        if self.rank is None:
            return True
        if other.rank is None:
            return False
        if self.sees is not None:
            return other.folder in self.sees
        return other.rank < self.rank


def read_table(path):
    rows = []
    with open(path, encoding='utf-8') as table:
        for number, line in enumerate(table, 1):
            words = line.split('#', 1)[0].split()
            if not words:
                continue
            if len(words) < 2 or len(words) > 3:
                raise SystemExit(f'{path}:{number}: expected "<folder> <rank> [sees=...]"')
            folder = words[0].strip('/')
            rank = None if words[1] == '-' else int(words[1])
            sees = None
            if len(words) == 3:
                if not words[2].startswith('sees='):
                    raise SystemExit(f'{path}:{number}: expected "sees=<folder>,..." after the rank')
                sees = {name.strip('/') for name in words[2][len('sees='):].split(',') if name}
            rows.append(Row(folder, rank, sees))
    return rows


def row_of(path, rows):
    """The row of the longest folder that contains path (a '/'-separated path below the root), or None."""
    best = None
    for row in rows:
        if path == row.folder or path.startswith(row.folder + '/'):
            if best is None or len(row.folder) > len(best.folder):
                best = row
    return best


def source_files(root):
    for folder, dirs, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        dirs[:] = sorted(d for d in dirs if d not in SKIPPED_DIRS and not (relative == '.' and d.startswith('build')))
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                path = os.path.normpath(os.path.join(relative, name)).replace(os.sep, '/')
                yield path


def check(root, rows):
    problems = []
    top_folders = {name for name in os.listdir(root) if os.path.isdir(os.path.join(root, name))}
    for path in source_files(root):
        own = row_of(path, rows)
        if own is None:
            problems.append(f'{path}: its folder has no row in the layer table')
            continue
        if own.rank is None:
            continue
        with open(os.path.join(root, path), encoding='utf-8', errors='replace') as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                header = match.group(2)
                if header.startswith('../') or '/../' in header:
                    problems.append(f'{path}:{number}: includes "{header}" by a relative path; '
                                    f'write it from the root')
                    continue
                target = row_of(header, rows)
                if target is None:
                    if '/' in header and header.split('/', 1)[0] in top_folders:
                        problems.append(f'{path}:{number}: includes "{header}", whose folder has no row in '
                                        f'the layer table')
                    continue
                if not own.may_include(target):
                    problems.append(f'{path}:{number}: {own.folder} ({describe(own)}) includes "{header}" of '
                                    f'{target.folder} ({describe(target)})')
    return problems


def describe(row):
    if row.rank is None:
        return 'not a library'
    if row.sees is not None:
        return f'rank {row.rank}, sees {", ".join(sorted(row.sees)) or "nothing"}'
    return f'rank {row.rank}'


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--root', default=os.path.dirname(here))
    parser.add_argument('--table', default=os.path.join(here, 'layers.txt'))
    arguments = parser.parse_args()
    problems = check(arguments.root, read_table(arguments.table))
    for problem in problems:
        print(problem)
    if problems:
        print(f'layer check: {len(problems)} problem(s) with the layers of {arguments.table}')
        return 1
    print('layer check: every include keeps its layer')
    return 0


if __name__ == '__main__':
    sys.exit(main())
