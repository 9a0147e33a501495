#!/usr/bin/env python3
"""Checks a built zelvane.exe as it is shipped. Prints every fault and exits 1
when there is one.

    tools/check_exe.py header EXE [--forbid TEXT]...
        The PE header's time stamp is 0, its checksum is the file's, and no
        TEXT (the build's folders, the host's name) is anywhere in the file,
        in UTF-8 or UTF-16.
    tools/check_exe.py imports EXE LIST
        Every function the import table names is on LIST (tools/imports.txt)
        and is no newer than the oldest Windows LIST states for the program;
        every function on LIST is imported; the header asks for no newer
        Windows either."""
import array
import re
import struct
import subprocess
import sys

# Windows versions, oldest first, with the NT version the PE header states.
WINDOWS = {"nt4": (4, 0), "2000": (5, 0), "xp": (5, 1), "xp-sp2": (5, 1), "xp-sp3": (5, 1),
           "vista": (6, 0), "7": (6, 1), "8": (6, 2), "8.1": (6, 3), "10": (10, 0)}
ORDER = list(WINDOWS)


class Pe:
    """The fields of the PE header that the checks read."""

    def __init__(self, data):
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.time_stamp,) = struct.unpack_from("<I", data, pe + 8)
        optional = pe + 24
        self.checksum_offset = optional + 64
        (self.checksum,) = struct.unpack_from("<I", data, self.checksum_offset)
        self.os_version = struct.unpack_from("<HH", data, optional + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)


def pe_checksum(data, checksum_offset):
    """The checksum Windows' CheckSumMappedFile computes: the file's 16-bit
    words (the checksum field read as 0) added with their carries folded
    back, plus the file's length."""
    words = array.array("H")
    words.frombytes(data + b"\0" * (len(data) % 2))
    if sys.byteorder != "little":
        words.byteswap()
    words[checksum_offset // 2] = 0
    words[checksum_offset // 2 + 1] = 0
    total = sum(words)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(data)


def check_header(exe, forbidden):
    with open(exe, "rb") as f:
        data = f.read()
    pe = Pe(data)
    faults = []
    if pe.time_stamp != 0:
        faults.append(f"time stamp {pe.time_stamp:#x} in the PE header (0 expected)")
    expected = pe_checksum(data, pe.checksum_offset)
    if pe.checksum != expected:
        faults.append(f"PE checksum {pe.checksum:#x}, the file's is {expected:#x}")
    for text in forbidden:
        for encoding in ("utf-8", "utf-16-le"):
            at = data.find(text.encode(encoding))
            if at >= 0:
                faults.append(f"'{text}' ({encoding}) at offset {at:#x}")
    return faults


def read_list(path):
    """(floor, {(dll, function): windows}) from the list's file."""
    floor = None
    listed = {}
    dll = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            where = f"{path}:{number}"
            section = re.fullmatch(r"\[(.+)\]", line)
            words = line.split()
            if section:
                dll = section.group(1).lower()
            elif words[0] == "floor" and len(words) == 2 and words[1] in WINDOWS:
                floor = words[1]
            elif dll and len(words) == 2 and words[1] in WINDOWS:
                listed[(dll, words[0])] = words[1]
            else:
                raise ValueError(f"{where}: cannot read '{line}'")
    if floor is None:
        raise ValueError(f"{path}: no 'floor' line")
    return floor, listed


def read_imports(exe):
    """{(dll, function)} from the import table, as objdump reads it."""
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], check=True,
                         capture_output=True, text=True).stdout
    imports = set()
    dll = None
    for line in out.splitlines():
        name = re.match(r"\s*DLL Name: (\S+)", line)
        entry = re.fullmatch(r"\t[0-9a-f]+\s+\d+\s+(\S+)", line)
        if name:
            dll = name.group(1).lower()
        elif line[:1] and not line[:1].isspace():
            dll = None  # the next part of objdump's report
        elif entry and dll:
            imports.add((dll, entry.group(1)))
    if not imports:
        raise ValueError(f"{exe}: objdump shows no imports")
    return imports


def check_imports(exe, list_path):
    floor, listed = read_list(list_path)
    imports = read_imports(exe)
    limit = ORDER.index(floor)
    faults = []
    for dll, function in sorted(imports - listed.keys()):
        faults.append(f"{dll} {function}: imported but not on {list_path} (add it with its oldest Windows)")
    for (dll, function), windows in sorted(listed.items()):
        if (dll, function) not in imports:
            faults.append(f"{dll} {function}: on {list_path} but no longer imported (remove it)")
        elif ORDER.index(windows) > limit:
            faults.append(f"{dll} {function}: needs Windows {windows}, newer than the floor {floor}")
    with open(exe, "rb") as f:
        pe = Pe(f.read())
    for what, version in (("operating system", pe.os_version), ("subsystem", pe.subsystem_version)):
        if version > WINDOWS[floor]:
            faults.append(f"the header's {what} version {version[0]}.{version[1]} is newer than the floor {floor}")
    return faults


def main(argv):
    if len(argv) >= 2 and argv[0] == "header":
        forbidden = [v for k, v in zip(argv[1::2], argv[2::2]) if k == "--forbid"]
        faults = check_header(argv[1], forbidden)
    elif len(argv) == 3 and argv[0] == "imports":
        faults = check_imports(argv[1], argv[2])
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for fault in faults:
        print(f"{argv[1]}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
