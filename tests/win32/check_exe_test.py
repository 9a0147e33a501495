#!/usr/bin/env python3
"""tools/check_exe.py finds each fault it is for in a doctored copy of the
built zelvane.exe, and none in the exe itself.
    tests/win32/check_exe_test.py ZELVANE_EXE"""
import os
import re
import shutil
import struct
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import check_exe  # noqa: E402

LIST = os.path.join(ROOT, "tools", "imports.txt")
EXE = None


class CheckExe(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.exe = os.path.join(self.dir, "zelvane.exe")
        shutil.copyfile(EXE, self.exe)
        with open(EXE, "rb") as f:
            self.data = bytearray(f.read())
        self.pe = check_exe.Pe(self.data)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def doctor(self, offset, raw, fix_checksum=True):
        self.data[offset:offset + len(raw)] = raw
        if fix_checksum:
            struct.pack_into("<I", self.data, self.pe.checksum_offset,
                             check_exe.pe_checksum(bytes(self.data), self.pe.checksum_offset))
        with open(self.exe, "wb") as f:
            f.write(self.data)

    def header_faults(self, *forbidden):
        return check_exe.check_header(self.exe, list(forbidden))

    def list_faults(self, edit):
        with open(LIST, encoding="utf-8") as f:
            text = edit(f.read())
        path = os.path.join(self.dir, "imports.txt")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return check_exe.check_imports(self.exe, path)

    def test_header_faults(self):
        self.assertEqual([], self.header_faults("/nowhere/build"))
        pe_offset = struct.unpack_from("<I", self.data, 0x3C)[0]
        self.doctor(pe_offset + 8, struct.pack("<I", 0x5F5E1000))
        self.assertRegex(" ".join(self.header_faults()), "time stamp 0x5f5e1000")
        self.doctor(pe_offset + 8, struct.pack("<I", 0))
        # A byte changed far from the header, checksum left as it was.
        self.doctor(len(self.data) // 2, bytes([self.data[len(self.data) // 2] ^ 1]), fix_checksum=False)
        self.assertRegex(" ".join(self.header_faults()), "PE checksum")
        # A build folder's path, in either encoding, anywhere in the file.
        for encoding in ("utf-8", "utf-16-le"):
            self.doctor(len(self.data) - 600, "/home/me/zelvane/build".encode(encoding))
            self.assertRegex(" ".join(self.header_faults("/home/me/zelvane")), f"/home/me/zelvane' \\({encoding}\\)")

    def test_import_faults(self):
        self.assertEqual([], self.list_faults(lambda text: text))
        faults = self.list_faults(lambda text: re.sub(r"^GetLastError\s+2000\n", "", text, flags=re.M))
        self.assertRegex(" ".join(faults), "kernel32.dll GetLastError: imported but not on")
        faults = self.list_faults(lambda text: re.sub(r"^GetNativeSystemInfo\s+xp", "GetNativeSystemInfo vista", text, flags=re.M))
        self.assertRegex(" ".join(faults), "GetNativeSystemInfo: needs Windows vista, newer than the floor xp-sp3")
        faults = self.list_faults(lambda text: text.replace("[USER32.dll]\n", "[USER32.dll]\nGetDpiForWindow 10\n"))
        self.assertRegex(" ".join(faults), "GetDpiForWindow: on .* but no longer imported")
        # A header that asks for Vista.
        self.doctor(self.pe.checksum_offset - 16, struct.pack("<HH", 6, 0))
        self.assertRegex(" ".join(self.list_faults(lambda text: text)), "subsystem version 6.0 is newer")


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main()
