#!/usr/bin/env python3
"""Checks the shape of the program's sources: which folder may include which,
no include cycle between files, the main window's files include no other
window, no source file of the program is longer than 450 lines, no function
longer than 60 (tools/check_functions.py), and no code above the toolkit
(app/, settings/, windows/) that scales, rounds, reads or applies a DPI: its
layout is given at 96 DPI and gui/ turns it into pixels. Prints every breach and
exits 1 when there is one.
    tools/check_layout.py [source tree, the repository's by default]"""
import os
import re
import sys

from check_functions import long_functions
from program_sources import LEVELS, ROOT, sources

MAX_LINES = 450
# The resource header (the ids of pictures and icons) is for the folders that
# show something.
SHOWING = {"app", "settings", "windows", "gui"}


def allowed_from(folder):
    level = next(i for i, fs in enumerate(LEVELS) if folder in fs)
    below = {f for fs in LEVELS[level + 1:] for f in fs}
    return below | {folder} | ({"resources"} if folder in SHOWING else set())


WINDOW_FILES = {"settings/Unit2.h", "windows/Search.h", "windows/Unit3.h", "windows/Unit5.h"}
MAIN_WINDOW_FILES = re.compile(r"app/(main\.(h|cpp)|Main[A-Za-z]*\.cpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)

# Display scale above the toolkit: the DPI headers, and in the code (comments
# and literals aside) any identifier that names a DPI or a scale (Dpi(),
# ApplyDpi, kBaseDpi, WM_DPICHANGED, Scale, ScaleEdge, UnscaleEdge, ...),
# LOGPIXELSX/Y, or MulDiv.
ABOVE_TOOLKIT = {"app", "settings", "windows"}
DPI_HEADERS = {"base/Dpi.h", "gui/Dpi.h"}
NOT_CODE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])+\'', re.S)
DPI_WORD = re.compile(r"\b(?:\w*(?:[Dd]pi|DPI|[Ss]cale)\w*|LOGPIXELS[XY]|MulDiv)\b")


def dpi_breaches(path, text):
    """What of display scale the file above the toolkit handles itself."""
    found = [f"{path}: includes {inc} (display scale is the toolkit's)"
             for inc in INCLUDE.findall(text) if inc in DPI_HEADERS]
    code = NOT_CODE.sub(" ", text)
    words = sorted(set(DPI_WORD.findall(code)))
    if words:
        found.append(f"{path}: handles display scale itself ({', '.join(words)})")
    return found


def main(root):
    files = sorted(sources(root))
    includes = {}
    breaches = []
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        lines = text.count("\n")
        if lines > MAX_LINES:
            breaches.append(f"{path}: {lines} lines (at most {MAX_LINES})")
        includes[path] = [i for i in INCLUDE.findall(text) if os.path.exists(os.path.join(root, i))]
        folder = path.split("/")[0]
        allowed = allowed_from(folder)
        for inc in includes[path]:
            if inc.split("/")[0] not in allowed:
                breaches.append(f"{path}: includes {inc} (not allowed from {folder}/)")
            if MAIN_WINDOW_FILES.search(path) and inc in WINDOW_FILES:
                breaches.append(f"{path}: the main window includes the window {inc}")
        if folder in ABOVE_TOOLKIT:
            breaches += dpi_breaches(path, text)

    # Cycles: a depth-first walk that reports each back edge once.
    state = {}
    stack = []

    def visit(node):
        state[node] = 1
        stack.append(node)
        for nxt in includes.get(node, []):
            if state.get(nxt) == 1:
                cycle = stack[stack.index(nxt):] + [nxt]
                breaches.append("include cycle: " + " -> ".join(cycle))
            elif nxt not in state:
                visit(nxt)
        stack.pop()
        state[node] = 2

    for path in files:
        if path not in state:
            visit(path)

    breaches += long_functions(root, files)
    for b in breaches:
        print(b)
    print(f"{len(files)} files, {len(breaches)} breaches")
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else ROOT))
