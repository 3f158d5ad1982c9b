#!/usr/bin/env python3
"""The folders of src/ are layers, each using only itself and the folders below it:

    platform < units < calc < refdata < pumps < settings < shell < startup < gui, cli

Two checks, each a fault list: an include of a folder above (or of the other front end, for
gui and cli), and a layer library in CMakeLists.txt (zynta_layer(NAME DEPS...)) linked to a
library that is not below it.

    tests/layers/check_layers.py SRC_DIR CMAKELISTS
"""
import pathlib
import re
import sys

ORDER = ["platform", "units", "calc", "refdata", "pumps", "settings", "shell", "startup", "gui", "cli"]
RANK = {name: i for i, name in enumerate(ORDER)}
RANK["cli"] = RANK["gui"]  # the two front ends sit side by side on top
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/([^"]+)"', re.M)
LAYER = re.compile(r"^zynta_layer\((\w+)([^)]*)\)", re.M)


def upward_includes(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        layer = path.relative_to(src).parts[0]
        if layer not in RANK:
            continue
        for target, header in INCLUDE.findall(path.read_text(errors="replace")):
            if target in RANK and target != layer and RANK[target] >= RANK[layer]:
                yield "upward include: %s: %s/%s" % (path.relative_to(src), target, header)


def upward_links(cmakelists):
    for name, deps in LAYER.findall(cmakelists.read_text()):
        for dep in deps.split():
            below = dep.removeprefix("zynta_")
            if name not in RANK or below not in RANK or RANK[below] >= RANK[name]:
                yield "upward link: zynta_%s -> %s" % (name, dep)


def main():
    faults = list(upward_includes(pathlib.Path(sys.argv[1]))) + list(upward_links(pathlib.Path(sys.argv[2])))
    for fault in faults:
        print(fault)
    print("layers: %d faults" % len(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
