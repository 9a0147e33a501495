#!/usr/bin/env python3
"""Finds the program's functions that are longer than 60 lines, counted from
the first line of the signature to the closing brace. Called by
tools/check_layout.py; run alone it checks the program's folders and prints
every function with its length, longest first (--all), or only the long ones.

The sources follow one format, and a small reader is enough for it: comments,
strings and preprocessor lines are blanked, then every brace block is sorted
by what stands before it since the last `;`, `{` or `}`: namespaces, classes,
structs and enums hold further definitions; a header with a parameter list is
a function (member functions written in a class included), and everything
nested in a function belongs to it (lambdas, local classes); any other block
is an initialiser and is not read further."""
import os
import re
import sys

MAX_FUNCTION_LINES = 60
SCOPE = re.compile(r"\b(namespace|class|struct|union|enum|extern)\b")
NAME = re.compile(r"(operator\s*[^\s(]+|~?[A-Za-z_]\w*)\s*$")


def blank(text):
    """The text with comments, string and character literals and preprocessor
    lines replaced by spaces; line breaks stay where they were."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            # A preprocessor line, with its continuations.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append(" \n")
                    i += 2
                    continue
                out.append(" ")
                i += 1
            continue
        if c == "/" and text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
            continue
        if c == "/" and text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        raw = re.match(r'R"([^(]*)\(', text[i:i + 20]) if c == "R" else None
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end = text.find(")" + raw.group(1) + '"', i)
            j = n if end < 0 else end + len(raw.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
            continue
        if c in "\"'":
            # A digit separator (1'000) is no character literal.
            number = re.search(r"\w+$", text[max(0, i - 40):i])
            if c == "'" and number and number.group(0)[0].isdigit() and i + 1 < n and text[i + 1].isalnum():
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(" " * (j - i))
            i = j
            continue
        out.append(c)
        line_start = c == "\n" or (line_start and c in " \t")
        i += 1
    return "".join(out)


def kind_of(header):
    """'scope', 'function' or 'other' for the text before an opening brace."""
    h = " ".join(header.split())
    if not h:
        return "other"
    paren = h.find("(")
    if paren < 0:
        return "scope" if SCOPE.search(h) else "other"
    equals = h.find("=")
    if "operator" in h[:paren] or equals < 0 or equals > paren:
        return "function"
    return "other"


def functions(text):
    """(name, first line, last line) of every function in a source text."""
    code = blank(text)
    found = []
    stack = []  # (kind, name, first line) of each open block
    header_start = 0
    for i, c in enumerate(code):
        if c in ";{}":
            if c == "{":
                outer = stack[-1][0] if stack else "scope"
                if outer == "scope":
                    header = code[header_start:i]
                    kind = kind_of(header)
                    stripped = len(header) - len(header.lstrip())
                    first = code.count("\n", 0, header_start + stripped) + 1
                    before = header[:header.find("(")] if "(" in header else ""
                    m = NAME.search(before)
                    stack.append((kind, m.group(1) if m else "?", first))
                else:
                    stack.append(("inner", "", 0))
            elif c == "}" and stack:
                kind, name, first = stack.pop()
                if kind == "function":
                    found.append((name, first, code.count("\n", 0, i) + 1))
            header_start = i + 1
    return found


def long_functions(root, paths, limit=MAX_FUNCTION_LINES):
    """A breach text for every function of `paths` (relative to `root`) that is
    longer than `limit` lines."""
    breaches = []
    for path in paths:
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        for name, first, last in functions(text):
            lines = last - first + 1
            if lines > limit:
                breaches.append(f"{path}:{first}: {name} is {lines} lines long (at most {limit})")
    return breaches


def main(argv):
    from program_sources import ROOT, sources

    files = sorted(sources())
    if "--all" in argv:
        rows = []
        for path in files:
            with open(os.path.join(ROOT, path), encoding="utf-8") as f:
                rows += [(last - first + 1, path, name) for name, first, last in functions(f.read())]
        for lines, path, name in sorted(rows, reverse=True):
            print(f"{lines:5} {path} {name}")
        return 0
    breaches = long_functions(ROOT, files)
    for b in breaches:
        print(b)
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
