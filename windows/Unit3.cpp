#include "windows/Unit3.h"

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
    if (Image2) {
        // Painted by the panel under the texts, and an item for screen readers.
        BITMAP bm{};
        ::GetObjectW(Image2.Get(), sizeof bm, &bm);
        Label& picture = Panel1().AddLabel("Image2", kImage2Left, kImage2Top, "", RGB(0, 0, 0), bm.bmWidth, bm.bmHeight);
        picture.picture = true;
        picture.image = Image2.Get();
        picture.spokenName = "Рисунок";
    }
    Panel1().AddLabel("Label2", 24, 16, kAboutText);
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
