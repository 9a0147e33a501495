#!/usr/bin/env python3
"""The layout check on a small tree of its own: an include from a level below
or from the folder's own passes; one from above, from a folder beside it, of
the resource header outside the showing folders, and a cycle are breaches; so
are a DPI header included and a DPI or scale named in code above the toolkit,
though not in its comments and strings, nor in gui/."""
import os
import subprocess
import sys
import tempfile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "check_layout.py")

TREE = {
    "base/A.h": "",
    "sys/S.h": '#include "base/A.h"\n',
    "gui/G.h": '#include "sys/S.h"\n#include "resources/resource.h"\n#include "processes/P.h"\n'
               "int w = ScaleEdge(1, Dpi());\n",
    "gui/Dpi.h": "",
    "windows/V.cpp": '#include "gui/Dpi.h"\n// Scale(4) is said in a comment\nint w = 2 * Scale(4); char c = \'s\';\n',
    "settings/U.cpp": '/* ApplyDpi(dpi) */ const char* k = "MulDiv kBaseDpi \\" ScaleEdge";\nint Width();\n',
    "app/N.cpp": "void ApplyDpi(int dpi) override;\nint h = ::MulDiv(16, 96, GetDeviceCaps(dc, LOGPIXELSY));\n",
    "processes/P.h": '#include "resources/resource.h"\n',
    "cpu/C.h": '#include "cpu/D.h"\n',
    "cpu/D.h": '#include "cpu/C.h"\n',
    "windows/W.h": '#include "gui/G.h"\n#include "settings/T.h"\n',
    "settings/T.h": '#include "windows/W.h"\n#include "cpu/C.h"\n',
    "app/M.cpp": '#include "settings/T.h"\n#include "base/A.h"\n',
    "resources/resource.h": "",
}

EXPECTED = {
    "gui/G.h: includes processes/P.h (not allowed from gui/)",
    "processes/P.h: includes resources/resource.h (not allowed from processes/)",
    "windows/W.h: includes settings/T.h (not allowed from windows/)",
    "windows/V.cpp: includes gui/Dpi.h (display scale is the toolkit's)",
    "windows/V.cpp: handles display scale itself (Scale)",
    "app/N.cpp: handles display scale itself (ApplyDpi, LOGPIXELSY, MulDiv, dpi)",
}


def main():
    with tempfile.TemporaryDirectory() as root:
        for path, text in TREE.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                f.write(text)
        run = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True)
    lines = run.stdout.splitlines()
    breaches = set(lines[:-1])
    cycles = {b for b in breaches if b.startswith("include cycle:")}
    failures = []
    if run.returncode != 1:
        failures.append(f"exit code {run.returncode}, not 1")
    if breaches - cycles != EXPECTED:
        failures.append(f"breaches {sorted(breaches - cycles)}, expected {sorted(EXPECTED)}")
    # The cycle between the two cpu/ headers, and the one through windows/ and
    # settings/, each reported.
    if not any("cpu/C.h" in c and "cpu/D.h" in c for c in cycles):
        failures.append("the cpu/ cycle is not reported")
    if not any("windows/W.h" in c and "settings/T.h" in c for c in cycles):
        failures.append("the windows/-settings/ cycle is not reported")
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
