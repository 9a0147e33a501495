#!/usr/bin/env python3
"""The function-length check finds a long function wherever the program's
format puts one, and is not misled by braces in literals and comments."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from check_functions import functions  # noqa: E402


def body(lines):
    return "".join(f"    x += {i};\n" for i in range(lines))


class FunctionsTest(unittest.TestCase):
    def test_spans_of_free_member_and_inline_functions(self):
        text = (
            "namespace zelvane {\n"                              # 1
            "namespace {\n"                                      # 2
            "constexpr RECT kTable[] = {{1, 2}, {3, 4}};\n"      # 3
            "int Free(int a,\n"                                  # 4
            "         int b = 2) {\n"                            # 5
            + body(3) +                                          # 6-8
            "}\n"                                                # 9
            "}  // namespace\n"                                  # 10
            "class C {\n"                                        # 11
            "    RECT r_{};\n"                                   # 12
            "    int Get() const { return 1; }\n"                # 13
            "};\n"                                               # 14
            "C::C() : a_{1}, b_(2) {\n"                          # 15
            "    auto f = [] { return '}'; };\n"                 # 16
            "    const char* s = \"{ not a block\";  // {\n"     # 17
            "    const char16_t p[] = {u'{', u'P'}; int n = 1'000;\n"  # 18
            "}\n"                                                # 19
            "C& C::operator=(const C&) {\n"                      # 20
            "    return *this;\n"                                # 21
            "}\n"                                                # 22
            "}  // namespace zelvane\n")
        found = functions(text)
        self.assertIn(("Free", 4, 9), found)
        self.assertIn(("Get", 13, 13), found)
        self.assertIn(("operator=", 20, 22), found)
        # The constructor's body is one function however its initialisers are written.
        self.assertTrue(any(f[2] == 19 and f[1] <= 15 for f in found), found)
        self.assertFalse(any(name == "kTable" for name, _, _ in found), found)

    def test_a_long_window_procedure_is_measured_whole(self):
        text = ("LRESULT W::WndProc(UINT msg) {\n    switch (msg) {\n    case 1: {\n" + body(70)
                + "    }\n    }\n    return 0;\n}\n")
        self.assertEqual([("WndProc", 1, 77)], functions(text))


if __name__ == "__main__":
    unittest.main()
