#!/usr/bin/env python3
"""Makes the release of the checked-out commit (`make dist`).

Builds zelvane.exe twice, each time in a new, empty build folder of its own
(build/dist/first, build/dist/second-build: different paths, so that a path
that reached the file would show), and goes on only when the two files are
the same byte for byte and pass tools/check_exe.py. Then writes, into dist/:
    zelvane-<version>.zip   zelvane-<version>/zelvane.exe and README.txt
    SHA256SUMS              the hashes of the exe and of the zip
    BUILDINFO.txt           the commit and the versions of the tools that made it
Every entry of the zip has the commit's time (UTC), a fixed mode and no extra
fields, in a fixed order, so the zip too is the same from the same commit and
the same Debian packages. dist/ is written only when everything succeeded."""
import glob
import hashlib
import io
import os
import shutil
import subprocess
import sys
import time
import zipfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import check_exe  # noqa: E402

BUILDS = [os.path.join(ROOT, "build", "dist", name) for name in ("first", "second-build")]
DIST = os.path.join(ROOT, "dist")
# What makes the bytes: the compiler with its runtime and the Windows headers
# and import libraries, the linker, the build tools; zlib makes the zip.
PACKAGES = ["g++-mingw-w64-i686-posix", "gcc-mingw-w64-i686-posix-runtime", "binutils-mingw-w64-i686",
            "mingw-w64-i686-dev", "cmake", "ninja-build", "libjpeg62-turbo-dev", "python3", "zlib1g"]


class Failure(Exception):
    pass


def run(*cmd, **kwargs):
    return subprocess.run(cmd, check=True, text=True, stdout=subprocess.PIPE, cwd=ROOT, **kwargs).stdout


def build(folder):
    print(f"dist: building zelvane.exe in {os.path.relpath(folder, ROOT)}", flush=True)
    shutil.rmtree(folder, ignore_errors=True)
    try:
        subprocess.run(["cmake", "-S", ROOT, "-B", folder, "-G", "Ninja",
                        "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(ROOT, "cmake", "mingw-i686.cmake"),
                        "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
        subprocess.run(["cmake", "--build", folder, "--target", "zelvane"], check=True, stdout=subprocess.DEVNULL)
    except subprocess.CalledProcessError as e:
        raise Failure(f"the build in {folder} failed ({e})")
    with open(os.path.join(folder, "zelvane.exe"), "rb") as f:
        return f.read()


def project_version(folder):
    with open(os.path.join(folder, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("CMAKE_PROJECT_VERSION:"):
                return line.split("=", 1)[1].strip()
    raise Failure("no CMAKE_PROJECT_VERSION in the build's cache")


def compare(first, second):
    if first == second:
        return
    diffs = [i for i in range(min(len(first), len(second))) if first[i] != second[i]]
    raise Failure(f"the two builds differ: sizes {len(first)} and {len(second)}, {len(diffs)} bytes differ"
                  + (f", the first at offset {diffs[0]:#x}" if diffs else ""))


def check(exe_path):
    faults = check_exe.check_header(exe_path, [ROOT] + BUILDS)
    faults += check_exe.check_imports(exe_path, os.path.join(ROOT, "tools", "imports.txt"))
    if faults:
        raise Failure("zelvane.exe fails its checks:\n  " + "\n  ".join(faults))


def windows_text(version):
    """docs/windows-readme.txt as Windows' Notepad reads it: UTF-8 with its
    signature and CRLF line ends."""
    with open(os.path.join(ROOT, "docs", "windows-readme.txt"), encoding="utf-8") as f:
        text = f.read().replace("@VERSION@", version)
    return "\ufeff".encode("utf-8") + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def make_zip(entries, when):
    """The zip's bytes: entries (name, data, mode) in the order given."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as z:
        for name, data, mode in entries:
            info = zipfile.ZipInfo(name, date_time=when)
            info.create_system = 3  # the mode below is a Unix mode
            info.external_attr = (0o100000 | mode) << 16
            z.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    return out.getvalue()


def package_versions():
    lines = []
    for package in PACKAGES:
        # One line per installed architecture (zlib1g is there for amd64 and i386).
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}\n", package], text=True,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
        versions = sorted(set(out.split()))
        lines.append(f"{package} {', '.join(versions) or '(not installed)'}")
    # libjpeg-turbo is built for MinGW from Debian's source package.
    for dsc in sorted(glob.glob(os.path.join(ROOT, "build", "deps", "src", "libjpeg-turbo_*.dsc"))):
        with open(dsc, encoding="utf-8") as f:
            version = next((line.split(":", 1)[1].strip() for line in f if line.startswith("Version:")), "?")
        lines.append(f"libjpeg-turbo (source, built for MinGW) {version}")
    lines.append(f"zlib (Python's, for the zip) {zlib.ZLIB_RUNTIME_VERSION}")
    return lines


def main():
    if run("git", "status", "--porcelain", "--untracked-files=no").strip():
        raise Failure("the working tree has changes that are not committed; a release is made from a commit")
    commit = run("git", "rev-parse", "HEAD").strip()
    commit_time = int(run("git", "log", "-1", "--format=%ct", "HEAD"))
    when = time.gmtime(max(commit_time, 315532800))[:6]  # zip times start in 1980

    first, second = (build(folder) for folder in BUILDS)
    compare(first, second)
    check(os.path.join(BUILDS[0], "zelvane.exe"))
    version = project_version(BUILDS[0])

    folder = f"zelvane-{version}"
    archive = make_zip([(f"{folder}/zelvane.exe", first, 0o755),
                        (f"{folder}/README.txt", windows_text(version), 0o644)], when)
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n"
                   for name, data in ((f"{folder}/zelvane.exe", first), (f"{folder}.zip", archive)))
    info = "\n".join([f"Zelvane {version}", f"commit {commit}",
                      f"commit time {time.strftime('%Y-%m-%d %H:%M:%S', time.gmtime(commit_time))} UTC",
                      "", "Built with (Debian package versions):"] + package_versions()) + "\n"

    # Written beside dist/ first and moved into place at the end, so that a
    # failure leaves the previous dist/ as it was.
    staging = DIST + ".new"
    shutil.rmtree(staging, ignore_errors=True)
    os.makedirs(staging)
    for name, data in ((f"{folder}.zip", archive), ("SHA256SUMS", sums.encode()), ("BUILDINFO.txt", info.encode())):
        with open(os.path.join(staging, name), "wb") as f:
            f.write(data)
    shutil.rmtree(DIST, ignore_errors=True)
    os.rename(staging, DIST)
    print(f"dist: the two builds are the same; wrote dist/{folder}.zip, dist/SHA256SUMS, dist/BUILDINFO.txt")
    print(sums, end="")


if __name__ == "__main__":
    try:
        main()
    except (Failure, subprocess.CalledProcessError) as e:
        print(f"dist: {e}", file=sys.stderr)
        sys.exit(1)
