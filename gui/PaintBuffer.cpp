#include "gui/PaintBuffer.h"

#include <algorithm>

namespace zelvane {

namespace {

// The kept bitmap serves the small paints that come often (a ticker step, a
// label, a panel); a whole-window paint, which comes rarely, gets a bitmap of
// its own rather than keeping a megabyte for the rest of the run.
constexpr long long kKeptPixels = 64 * 1024;

struct Shared {
    MemoryDc dc;
    Bitmap bitmap;
    HGDIOBJ original = nullptr;
    int width = 0;
    int height = 0;
    bool busy = false;

    ~Shared() {
        if (dc) ::SelectObject(dc.Get(), original);  // the bitmap is deleted unselected
    }
};

Shared& TheBuffer() {
    static Shared shared;
    return shared;
}


}  // namespace

PaintBuffer::PaintBuffer(HDC target, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    Shared& s = TheBuffer();
    if (!s.busy) {
        if (!s.dc) s.dc = MemoryDc(::CreateCompatibleDC(target));
        const int w = std::max(width, s.width), h = std::max(height, s.height);
        if (s.dc && (width > s.width || height > s.height) && static_cast<long long>(w) * h <= kKeptPixels) {
            Bitmap bigger(::CreateCompatibleBitmap(target, w, h));
            if (bigger) {
                const HGDIOBJ previous = ::SelectObject(s.dc.Get(), bigger.Get());
                if (!s.original) s.original = previous;
                s.bitmap = std::move(bigger);  // the smaller one, now unselected, goes
                s.width = w;
                s.height = h;
            }
        }
        if (s.dc && width <= s.width && height <= s.height) {
            s.busy = true;
            shared_ = true;
            dc_ = s.dc.Get();
        }
    }
    if (!shared_) {
        ownDc_ = MemoryDc(::CreateCompatibleDC(target));
        ownBitmap_ = Bitmap(::CreateCompatibleBitmap(target, width, height));
        ownOriginal_ = ::SelectObject(ownDc_.Get(), ownBitmap_.Get());
        dc_ = ownDc_.Get();
    }
    saved_ = ::SaveDC(dc_);
}

PaintBuffer::~PaintBuffer() {
    ::RestoreDC(dc_, saved_);
    if (shared_) {
        TheBuffer().busy = false;
    } else {
        ::SelectObject(ownDc_.Get(), ownOriginal_);
    }
}

}  // namespace zelvane
