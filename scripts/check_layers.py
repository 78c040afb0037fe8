#!/usr/bin/env python3
"""Every #include of ours stays within its layer.

Usage: check_layers.py SOURCE_ROOT LAYERS_FILE
LAYERS_FILE is what the build writes: one line per folder, "organize: organize metadata base",
naming the folders that folder may include. The layers, bottom up: base; metadata; organize;
album; run (a whole run over both engines); ui; update; app and cli at the top. The build itself refuses an include that reaches
up a layer; this check also names includes that climb out of their folder with "..", and
says plainly which line of which file crosses which arrow. Exit 1 on any such include.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def read_layers(path):
    layers = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            folder, _, visible = line.partition(":")
            if folder.strip():
                layers.setdefault(folder.strip(), set()).update(visible.split())
    return layers


def main():
    root, layers_file = sys.argv[1:3]
    layers = read_layers(layers_file)
    faults = []
    checked = 0
    for folder, allowed in sorted(layers.items()):
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                text = open(path, encoding="utf-8").read()
                checked += 1
                for match in INCLUDE.finditer(text):
                    target = match.group(1)
                    line = text.count("\n", 0, match.start()) + 1
                    where = f"{os.path.relpath(path, root)}:{line}"
                    top = target.split("/", 1)[0]
                    if ".." in target.split("/"):
                        faults.append(f'{where}: "{target}" climbs out of its folder')
                    elif "/" in target and top not in allowed:
                        faults.append(f'{where}: "{target}" reaches up from {folder} to {top}')
    for fault in faults:
        print(fault)
    print(f"{checked} files of {len(layers)} folders checked, {len(faults)} includes out of layer")
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
