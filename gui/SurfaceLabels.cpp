// The labels of a surface: texts and pictures drawn on the surface itself,
// placed from their 96-DPI geometry at the surface's DPI, the texts drawn in
// its fonts.
#include "gui/Surface.h"

#include <algorithm>

#include "base/Dpi.h"
#include "base/Text.h"
#include "gui/Draw.h"
#include "gui/Handles.h"

namespace zelvane {

namespace {

constexpr int kFontHeight = 11;  // the surfaces' text, in 96-DPI pixels

std::vector<std::wstring> SplitLines(const std::string& text) {
    std::vector<std::wstring> lines;
    std::string::size_type start = 0;
    for (;;) {
        const auto pos = text.find("\r\n", start);
        lines.push_back(Widen(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start)));
        if (pos == std::string::npos) break;
        start = pos + 2;
    }
    return lines;
}

}  // namespace

namespace {

// The size of a label's lines in `font`; a line without a height counts
// `emptyLine` pixels.
SIZE TextSize(HDC dc, HFONT font, const std::string& text, int emptyLine) {
    SelectObjectScope selected(dc, font);
    SIZE total{0, 0};
    for (const auto& line : SplitLines(text)) {
        SIZE sz{};
        ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &sz);
        total.cx = std::max<LONG>(total.cx, sz.cx);
        total.cy += sz.cy ? sz.cy : emptyLine;
    }
    return total;
}

// `picture` scaled into a new 32-bit bitmap `w` × `h`, smoothed; null when
// GDI refuses.
Bitmap SmoothlyScaled(HBITMAP picture, int w, int h) {
    BITMAP bm{};
    if (w <= 0 || h <= 0 || !::GetObjectW(picture, sizeof bm, &bm)) return Bitmap();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bitmap scaled(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled) return scaled;
    MemoryDc src(::CreateCompatibleDC(nullptr)), dst(::CreateCompatibleDC(nullptr));
    SelectObjectScope from(src.Get(), picture), to(dst.Get(), scaled.Get());
    ::SetStretchBltMode(dst.Get(), HALFTONE);
    ::SetBrushOrgEx(dst.Get(), 0, 0, nullptr);
    ::StretchBlt(dst.Get(), 0, 0, w, h, src.Get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return scaled;
}

}  // namespace

bool Surface::RunsIntoChild(const RECT& r) const {
    for (const Child& c : children_) {
        const Box cb = ScaleBox(c.at96, dpi_);
        const RECT box{cb.left, cb.top, cb.right, cb.bottom};
        RECT overlap;
        if (::IntersectRect(&overlap, &r, &box)) return true;
    }
    return false;
}

void Surface::PlaceTextSizedLabels() {
    if (dpi_ == kBaseDpi) return;
    for (Label& l : labels_) {
        if (l.at96.Width() == 0 || l.at96.Height() == 0) PlaceLabel(l);
    }
}

void Surface::MakeFonts() {
    const int height = ScaleFontHeight(kFontHeight, dpi_);
    font_ = MakeFont("MS Sans Serif", height);
    narrowFont_ = dpi_ == kBaseDpi ? zelvane::Font() : MakeFont("MS Sans Serif", height - 1);
}

void Surface::PlaceLabel(Label& l) {
    const Box& g = l.at96;
    const Box b = ScaleBox(g, dpi_);
    const bool sized = g.Width() != 0 && g.Height() != 0;
    if (sized && dpi_ == kBaseDpi) {
        l.bounds = {b.left, b.top, b.right, b.bottom};
        return;
    }
    // Sized to the text in the surface's font, as a label with automatic size.
    WindowDc dc(hwnd_);
    SIZE text = TextSize(dc.Get(), font_.Get(), l.text, Scale(13));
    l.narrow = false;
    if (!sized && dpi_ != kBaseDpi) {
        // Glyphs are fitted to whole pixels, so a text may come out a pixel
        // wider than its 96-DPI width scaled. Where it would then run into a
        // field that starts where the text ends at 96 DPI, it takes the font
        // one pixel shorter.
        const zelvane::Font at96 = MakeFont("MS Sans Serif", kFontHeight);
        const int limit = ScaleEdge(g.left + TextSize(dc.Get(), at96.Get(), l.text, 13).cx, dpi_) - b.left;
        if (text.cx > limit && RunsIntoChild({b.left, b.top, b.left + text.cx, b.top + text.cy})) {
            l.narrow = true;
            text = TextSize(dc.Get(), narrowFont_.Get(), l.text, Scale(13));
        }
    }
    if (sized) {
        // A label of given size keeps its scaled box, and grows where its
        // text does not scale exactly with its font: every label's text fits
        // its box at 96 DPI, but the sizes of a raster face follow the
        // system's DPI and are not the 96-DPI ones scaled.
        text.cx = std::max<LONG>(text.cx, b.Width());
        text.cy = std::max<LONG>(text.cy, b.Height());
    }
    l.bounds = {b.left, b.top, b.left + text.cx, b.top + text.cy};
}

HBITMAP Surface::DrawnImage(const Label& l) {
    if (dpi_ == kBaseDpi) return l.image;
    Bitmap& scaled = scaledImages_[l.image];
    if (!scaled) scaled = SmoothlyScaled(l.image, l.bounds.right - l.bounds.left, l.bounds.bottom - l.bounds.top);
    return scaled.Get();
}

void Surface::DrawLabels(HDC dc) {
    for (const auto& l : labels_) {
        const HBITMAP image = l.visible && l.image ? DrawnImage(l) : nullptr;
        BITMAP bm{};
        if (!image || !::GetObjectW(image, sizeof bm, &bm)) continue;
        MemoryDc src(::CreateCompatibleDC(dc));
        SelectObjectScope picture(src.Get(), image);
        ::BitBlt(dc, l.bounds.left, l.bounds.top, bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, SRCCOPY);
    }
    SelectObjectScope font(dc, font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    for (const auto& l : labels_) {
        if (!l.visible) continue;
        ::SelectObject(dc, LabelFont(l));
        ::SetTextColor(dc, l.color);
        int y = l.bounds.top;
        for (const auto& line : SplitLines(l.text)) {
            ::TextOutW(dc, l.bounds.left, y, line.c_str(), static_cast<int>(line.size()));
            SIZE sz{};
            ::GetTextExtentPoint32W(dc, L"Wg", 2, &sz);
            y += sz.cy;
        }
    }
}
}  // namespace zelvane
