"""The program's source files, for the checks of its shape
(tools/check_layout.py, tools/check_functions.py)."""
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The folders from the top down. A folder includes from its own and from the
# levels below it, never from its level's other folders or from above.
LEVELS = [["app"], ["settings"], ["windows"], ["gui", "processes", "cpu"], ["sys"], ["base"]]
FOLDERS = [f for level in LEVELS for f in level]


def sources(root=ROOT):
    """Every .h and .cpp of the program under `root`, as paths relative to it."""
    for folder in FOLDERS:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, folder)):
            # Fuzz targets and benchmarks are tools beside the program.
            dirnames[:] = [d for d in dirnames if d not in ("fuzz", "bench")]
            for name in filenames:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
