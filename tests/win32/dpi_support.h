// What the DPI tests read of the program's windows, by keys that name the
// same thing in a run at any DPI: each window's client area, every child
// window relative to its parent (keyed by its place in the sibling order,
// which is also the tab order), every tool-bar button, painted label, title
// picture and grid column, and each font's height. tests/win32/dpi_suite.sh runs the
// tests at 96 DPI to record what they read, then at another DPI against it.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {

// The DPI of the prefix the suite runs in (ZELVANE_TEST_DPI, else 96).
int PrefixDpi();

// Rectangles by key. A font height is kept as {0, 0, 0, height}; a label
// whose box is its text's size is also marked by a key of its own.
using Layout = std::map<std::string, RECT>;

// Adds what the top-level window `window` lays out, its keys under `name`,
// and each text drawn in it that does not fit its box, measured with the
// font it is drawn in on the window's own DC (painted labels, also where a
// child window covers them, panel captions, check boxes, the status bar,
// every grid cell), as "clipped <key>" with {needed width, height, box
// width, height}. Some texts of the layout at 96 DPI do not fit under Wine's
// fonts; a text that fits at 96 DPI fits at every scale: LayoutDifferences
// reports the clipped texts that the run at 96 DPI does not have.
void ReadLayout(Layout& out, const std::string& name, HWND window);

// Every key of `at96` whose rectangle in `actual` is farther than `slack`
// pixels from its edges scaled to `dpi` (base/Dpi.h), or is missing, and
// every key that only `actual` has: one line each. Only the corner of a label
// sized to its text or too small for it is compared (the clipped texts tell
// whether it fits).
std::vector<std::string> LayoutDifferences(const Layout& at96, const Layout& actual, int dpi, int slack = 1);
// A layout read at `dpi` taken back to 96 DPI (each value rounded).
Layout LayoutAt96(const Layout& layout, int dpi);

// The file the suite's run at 96 DPI writes (ZELVANE_DPI_RECORD) and the
// runs at other DPIs read (ZELVANE_DPI_BASELINE).
bool WriteLayout(const Layout& layout, const std::string& path);
Layout LoadLayout(const std::string& path);

// The program's five windows, all shown; their layouts read together.
class DpiFixture : public ProgramFixture {
protected:
    // The other four shown beside the main window, as their commands show
    // them, and everything painted.
    void ShowAll();
    void PaintAll();
    // Every window's layout and clipped texts, and the placement of the
    // search and properties windows from the main window's corner.
    Layout ReadAll();
};

}  // namespace zelvane::testing
