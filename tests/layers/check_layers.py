#!/usr/bin/env python3
"""The folders of src/ are layers, each including only itself and the folders below it:

    platform < units < calc < refdata < settings < shell < startup < gui, cli

An include of a folder above is a fault, unless it is one of the includes listed in
known_upward.txt, which are being moved down; an entry that no longer occurs must be removed
from the list, so the list only shrinks.

    tests/layers/check_layers.py SRC_DIR KNOWN_LIST
"""
import pathlib
import re
import sys

ORDER = ["platform", "units", "calc", "refdata", "settings", "shell", "startup", "gui", "cli"]
RANK = {name: i for i, name in enumerate(ORDER)}
RANK["cli"] = RANK["gui"]  # the two front ends sit side by side on top
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/([^"]+)"', re.M)


def upward_includes(src):
    found = set()
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        layer = path.relative_to(src).parts[0]
        if layer not in RANK:
            continue
        for target, header in INCLUDE.findall(path.read_text(errors="replace")):
            if target in RANK and RANK[target] > RANK[layer]:
                found.add("%s: %s/%s" % (path.relative_to(src), target, header))
    return found


def main():
    src = pathlib.Path(sys.argv[1])
    known = set()
    for line in pathlib.Path(sys.argv[2]).read_text().splitlines():
        line = line.strip()
        if line and not line.startswith("#"):
            known.add(line)
    found = upward_includes(src)
    new = sorted(found - known)
    gone = sorted(known - found)
    for entry in new:
        print("upward include: " + entry)
    for entry in gone:
        print("no longer there, remove it from the list: " + entry)
    print("layers: %d upward includes, %d of them listed, %d faults" % (len(found), len(found & known), len(new) + len(gone)))
    return 1 if new or gone else 0


if __name__ == "__main__":
    sys.exit(main())
