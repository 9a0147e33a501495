// Display scale. Every pixel of the program's layout is stated for 96 DPI;
// at another DPI a coordinate is scaled by dpi / 96 and rounded to the
// nearest pixel, halves away from zero (as MulDiv rounds). Edges are scaled,
// never sizes: a box's size is the difference of its scaled edges, so boxes
// that touch at 96 DPI touch at every scale, and a row of boxes scales to the
// scaled length of the row.
#pragma once

namespace zelvane {

constexpr int kBaseDpi = 96;

// A coordinate (or any length measured from an origin) at 96 DPI, at `dpi`.
constexpr int ScaleEdge(int at96, int dpi) {
    const long long product = static_cast<long long>(at96) * dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

// A box given at 96 DPI as edges: its scaled edges.
struct Box {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

constexpr Box ScaleBox(int x, int y, int w, int h, int dpi) {
    return {ScaleEdge(x, dpi), ScaleEdge(y, dpi), ScaleEdge(x + w, dpi), ScaleEdge(y + h, dpi)};
}

// The size of something that stands alone (a window, a picture, a row height):
// its far edge scaled from an origin.
constexpr int ScaleSize(int at96, int dpi) { return ScaleEdge(at96, dpi); }

}  // namespace zelvane
