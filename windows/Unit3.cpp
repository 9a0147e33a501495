#include "windows/Unit3.h"

#include "base/Dpi.h"
#include "base/Error.h"
#include "gui/JpegImage.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace zelvane {

const char kAboutText[] =
    "Программа Zelvane v" ZELVANE_VERSION " - логическое\r\n"
    "продолжение программы [Zelvik]\r\n"
    "и её продвинутый потомок :-)\r\n"
    "\r\n"
    "         Беспощадно киляет процессы,\r\n"
    "           ничего у них не спрашивая.\r\n"
    "\r\n"
    "\r\n"
    "   Автор программы:\r\n"
    "             Ян Примеров\r\n"
    "\r\n"
    "   Связь с автором:\r\n"
    "               Почта  : author@example.org\r\n"
    "               Чат    : 100-200-300\r\n"
    "               Сеть   : 192.0.2.17\r\n"
    "               Сайт   : www.example.org";

namespace {

// In 96-DPI pixels.
constexpr int kImage2Left = 2;
constexpr int kImage2Top = 174;

}  // namespace

TForm3::TForm3() {
    CreateBorderless({.windowText = "About Program.", .width = 278, .height = 273, .color = RGB(193, 244, 220),
                      .caption = "Zelvane " ZELVANE_VERSION});

    // The picture is decoration: a damaged or missing one (libjpeg's error,
    // raised as zelvane::Error), or one there is no memory for, leaves the
    // window without it.
    try {
        Image2 = LoadJpegResource(nullptr, IDR_ABOUT_JPEG);
    } catch (const std::exception&) {
        Image2.Reset();
    }
    // Drawn on the panel under the labels, so the text shows over the picture.
    Panel1().onPaint = [this](HDC dc) { DrawImage2(dc); };
    if (Image2) {
        // The picture, for screen readers, as an item painted in its place.
        BITMAP bm{};
        ::GetObjectW(Image2.Get(), sizeof bm, &bm);
        Label& picture = Panel1().AddLabel("Image2", kImage2Left, kImage2Top, "", RGB(0, 0, 0), bm.bmWidth, bm.bmHeight);
        picture.picture = true;
        picture.spokenName = "Рисунок";
    }
    Panel1().AddLabel("Label2", 24, 16, kAboutText);
}

namespace {

// `picture` scaled into a new 32-bit bitmap `w` × `h`, smoothed (a photo
// takes that well, where a drawing would blur); null when GDI refuses.
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

HBITMAP TForm3::DrawnPicture() {
    if (!Image2 || Dpi() == kBaseDpi) return Image2.Get();
    if (scaledDpi_ != Dpi()) {
        BITMAP bm{};
        ::GetObjectW(Image2.Get(), sizeof bm, &bm);
        const Box box = ScaleBox(kImage2Left, kImage2Top, bm.bmWidth, bm.bmHeight, Dpi());
        scaled_ = SmoothlyScaled(Image2.Get(), box.Width(), box.Height());
        scaledDpi_ = Dpi();
    }
    return scaled_ ? scaled_.Get() : nullptr;
}

void TForm3::DrawImage2(HDC dc) {
    const HBITMAP shown = DrawnPicture();
    if (!shown) return;
    BITMAP bm{};
    ::GetObjectW(shown, sizeof bm, &bm);
    MemoryDc src(::CreateCompatibleDC(dc));
    SelectObjectScope picture(src.Get(), shown);
    ::BitBlt(dc, Scale(kImage2Left), Scale(kImage2Top), bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, SRCCOPY);
}

LRESULT TForm3::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_WINDOWPOSCHANGING) {
        // The first show centres the window on the desktop; later shows keep
        // the place the user left it at.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if ((pos->flags & SWP_SHOWWINDOW) && !shownBefore_) {
            shownBefore_ = true;
            const POINT centre = CentredPosition();
            pos->x = centre.x;
            pos->y = centre.y;
            pos->flags &= ~SWP_NOMOVE;
        }
    }
    return BorderlessForm::WndProc(msg, wp, lp);
}

}  // namespace zelvane
