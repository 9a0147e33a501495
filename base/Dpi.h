// Display scale. Every pixel of the program's layout is stated for 96 DPI;
// at another DPI a coordinate is scaled by dpi / 96 and rounded to the
// nearest pixel, halves away from zero (as MulDiv rounds). Edges are scaled,
// never sizes: a box's size is the difference of its scaled edges, so boxes
// that touch at 96 DPI touch at every scale, and a row of boxes scales to the
// scaled length of the row.
#pragma once

#include <vector>

#include "base/Box.h"

namespace zelvane {

constexpr int kBaseDpi = 96;

// `v` measured at DPI `from`, at DPI `to` (both positive): rounded to the
// nearest pixel, halves away from zero.
constexpr int Rescale(int v, int from, int to) {
    const long long product = static_cast<long long>(v) * to;
    const long long half = from / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from : -((-product + half) / from));
}

// A coordinate (or any length measured from an origin) at 96 DPI, at `dpi`,
// and back: the one pair of conversions between the layout and the screen.
constexpr int ScaleEdge(int at96, int dpi) { return Rescale(at96, kBaseDpi, dpi); }
constexpr int UnscaleEdge(int pixels, int dpi) { return Rescale(pixels, dpi, kBaseDpi); }

// A box given at 96 DPI: its scaled edges.
constexpr Box ScaleBox(const Box& at96, int dpi) {
    return {ScaleEdge(at96.left, dpi), ScaleEdge(at96.top, dpi), ScaleEdge(at96.right, dpi),
            ScaleEdge(at96.bottom, dpi)};
}
constexpr Box ScaleBox(int x, int y, int w, int h, int dpi) { return ScaleBox(BoxAt(x, y, w, h), dpi); }

// A font's pixel height at `dpi`: the 96-DPI height scaled and rounded down.
// Text does not grow exactly with its font (glyphs are fitted to whole
// pixels), so a font is never made taller than its scaled height, and a text
// that fits its box at 96 DPI still fits the scaled box.
constexpr int ScaleFontHeight(int at96, int dpi) {
    return static_cast<int>(static_cast<long long>(at96) * dpi / kBaseDpi);
}

// One size of a face of fixed sizes (a raster face): the height of its cell
// and of its letters (the cell without the internal leading).
struct FixedSize {
    int cell;
    int letters;
};

// The cell to draw letters asked `asked` pixels high in a face of fixed
// sizes, when the font mapper chose a cell of `chosen` pixels. A size fits
// when its letters are at most a pixel taller than asked (an asked height is
// a scaled one rounded down). The chosen cell stays when it is a size that
// fits. A cell that is no size at all is a size stretched by a whole factor,
// whose letters come out as blocks: never kept. Otherwise the tallest size
// that fits; 0 when none does (a face drawn from outlines is the way out).
// No sizes known: the chosen cell.
inline int FixedSizeCell(const std::vector<FixedSize>& sizes, int chosen, int asked) {
    if (sizes.empty()) return chosen;
    int tallest = 0;
    for (const FixedSize& s : sizes) {
        if (s.letters > asked + 1) continue;
        if (s.cell == chosen) return chosen;
        if (s.cell > tallest) tallest = s.cell;
    }
    return tallest;
}

// A DPI the program draws for: anything outside 48..960 is not a display's
// and is refused wherever a DPI comes from outside.
constexpr int kMinDpi = 48;
constexpr int kMaxDpi = 960;
constexpr bool SaneDpi(long long dpi) { return dpi >= kMinDpi && dpi <= kMaxDpi; }

// The window bounds the system suggests for a new DPI, when they can be
// taken: a box of positive size no larger than 64 × 64 thousand pixels,
// on the plane a screen can hold.
constexpr bool SaneBounds(const Box& b) {
    constexpr int kLimit = 1 << 16;
    const auto onPlane = [](int v) { return v > -kLimit && v < 2 * kLimit; };
    if (!onPlane(b.left) || !onPlane(b.top) || !onPlane(b.right) || !onPlane(b.bottom)) return false;
    return b.Width() > 0 && b.Height() > 0 && b.Width() <= kLimit && b.Height() <= kLimit;
}

// Bounds for a new DPI worked out by the window itself (no suggestion can be
// trusted): the same top-left corner, the size scaled from `from` to `to`
// (both sane DPIs), rounded to the nearest pixel.
constexpr Box RescaledBounds(const Box& b, int from, int to) {
    const long long w = (static_cast<long long>(b.Width()) * to + from / 2) / from;
    const long long h = (static_cast<long long>(b.Height()) * to + from / 2) / from;
    return {b.left, b.top, b.left + static_cast<int>(w), b.top + static_cast<int>(h)};
}

// The size of something that stands alone (a window, a picture, a row height):
// its far edge scaled from an origin.
constexpr int ScaleSize(int at96, int dpi) { return ScaleEdge(at96, dpi); }

}  // namespace zelvane
