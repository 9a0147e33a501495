// The off-screen bitmap behind every flicker-free paint of the program.
//
// A window paints into the memory DC and copies the result to the screen in
// one BitBlt. Creating a bitmap and selecting it into a DC are the dear parts
// of that (under Wine each asks the display driver about the screen), and the
// title ticker repaints five times a second; so the program keeps one bitmap,
// selected into one memory DC, for the small paints of all its windows. It
// grows to the largest small area asked for and is never shrunk; a large paint
// (a whole window, rare) and a paint nested inside another (the one GUI thread
// paints one window at a time) get a bitmap of their own.
#pragma once

#include <windows.h>

#include "gui/Handles.h"

namespace zelvane {

class PaintBuffer {
public:
    // A memory DC compatible with `target` (a window's DC on the screen), with
    // at least `width` × `height` pixels, in its default state (the
    // destructor restores that state).
    PaintBuffer(HDC target, int width, int height);
    ~PaintBuffer();
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;

    HDC Dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    int saved_ = 0;
    bool shared_ = false;
    // Only for a nested paint.
    MemoryDc ownDc_;
    Bitmap ownBitmap_;
    HGDIOBJ ownOriginal_ = nullptr;
};

}  // namespace zelvane
