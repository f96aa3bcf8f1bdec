#!/usr/bin/env python3
"""Checks that the folders under src/ include one another only downwards.

Each folder may include itself and the folders listed for it below; any
other #include "folder/..." fails the check with the file, line and edge.
The list is the layering of docs/ARCHITECTURE.md: keep both in step.
"""
import os
import re
import sys

# Lower layers first; a folder may include the folders named for it.
ALLOWED = {
    "base": [],
    "platform": [],
    "sheet": ["base", "platform"],
    "formula": ["sheet", "base", "platform"],
    "display": ["sheet", "base", "platform"],
    "edit": ["display", "formula", "sheet", "base", "platform"],
    "io": ["edit", "display", "formula", "sheet", "base", "platform"],
    "ui": ["io", "edit", "display", "formula", "sheet", "base", "platform"],
    "macro": ["ui", "io", "edit", "display", "formula", "sheet", "base", "platform"],
    "datatools": ["ui", "io", "edit", "display", "formula", "sheet", "base", "platform"],
    "graph": ["ui", "io", "edit", "display", "formula", "sheet", "base", "platform"],
    "print": ["graph", "ui", "io", "edit", "display", "formula", "sheet", "base", "platform"],
    "commands": ["print", "graph", "datatools", "macro", "ui", "io", "edit", "display",
                 "formula", "sheet", "base", "platform"],
    "qt": ["commands", "print", "graph", "datatools", "macro", "ui", "io", "edit", "display",
           "formula", "sheet", "base", "platform"],
    "app": ["qt", "commands", "print", "graph", "datatools", "macro", "ui", "io", "edit",
            "display", "formula", "sheet", "base", "platform"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z_]+)/')


def main() -> int:
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    bad = []
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if not os.path.isdir(path):
            continue
        if folder not in ALLOWED:
            bad.append(f"src/{folder}: folder has no place in the layer list")
            continue
        for dirpath, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".hpp", ".def")):
                    continue
                file = os.path.join(dirpath, name)
                with open(file, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        if target == folder or not os.path.isdir(os.path.join(root, target)):
                            continue
                        if target not in ALLOWED[folder]:
                            rel = os.path.relpath(file, os.path.join(root, ".."))
                            bad.append(f"{rel}:{number}: {folder} -> {target} is not an allowed edge")
    for line in bad:
        print(line)
    if bad:
        print(f"layer check: {len(bad)} forbidden include(s)")
        return 1
    print("layer check: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
