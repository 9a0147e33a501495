// A rectangle by its edges: a box of the layout (in 96-DPI pixels) or one on
// the screen (in pixels of a DPI).
#pragma once

namespace zelvane {

struct Box {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

// The box at (x, y), `w` × `h`.
constexpr Box BoxAt(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

}  // namespace zelvane
