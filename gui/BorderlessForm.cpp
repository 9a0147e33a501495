#include "gui/BorderlessForm.h"

#include <map>
#include <memory>
#include <utility>

#include "base/AccessibleModel.h"
#include "gui/Pictures.h"

namespace zelvane {

namespace {
constexpr int kStripHeight = 22;  // the title strip, its frame's lines included
constexpr int kButtonPanelTop = 2;
constexpr int kButtonPanelHeight = 18;
constexpr int kButtonPanelRight = 2;  // from the window's right edge
constexpr int kPictureTop = 1;
constexpr int kPictureSize = 15;
}  // namespace

const TitlePictures& TitlePictures::ForDpi(int dpi) {
    static std::map<int, std::unique_ptr<const TitlePictures>> loaded;
    auto& pictures = loaded[dpi];
    if (!pictures) {
        pictures = std::make_unique<const TitlePictures>(TitlePictures{LoadPicture(PictureKind::Close, dpi).bitmap,
                                                                       LoadPicture(PictureKind::TitleMin, dpi).bitmap,
                                                                       LoadPicture(PictureKind::TitleMax, dpi).bitmap});
    }
    return *pictures;
}

void BorderlessForm::CreateBorderless(const Look& look) {
    CreateForm(look.windowText, Frame::None, look.stayOnTop, CW_USEDEFAULT, CW_USEDEFAULT, look.width, look.height,
               look.color);
    HideOnClose();
    AddLabel("Label1", 8, 4, look.caption, look.captionColor);
    // Readers call the window by the caption of its title strip.
    accessibleName = [name = SpokenText(look.caption)] { return name; };
    const Box buttons = BoxAt(look.width - look.buttonPanelWidth - kButtonPanelRight, kButtonPanelTop,
                              look.buttonPanelWidth, kButtonPanelHeight);
    panel2_ = std::make_unique<TitlePanel>(hwnd_, buttons);
    // The words of the system's own caption buttons.
    AddTitlePicture(
        look.closeImageX, [](const TitlePictures& p) { return p.close.Get(); }, [] { return std::string("Закрыть"); },
        [this] { Image1Click(); });
    panel1_ = std::make_unique<Panel>(hwnd_, 0, look.clientTop, look.width, look.height - look.clientTop,
                                      look.panelColor, Panel::Bevel::None, Panel::Bevel::Lowered);
    // The strip's right-hand panel stays at the right edge, the client panel
    // takes the rest of the window.
    SetChildBounds(panel2_->Handle(), buttons, kLeftFollows | kRightFollows);
    SetChildBounds(panel1_->Handle(), {0, look.clientTop, look.width, look.height}, kRightFollows | kBottomFollows);
}

void BorderlessForm::AddTitlePicture(int x, HBITMAP (*which)(const TitlePictures& pictures),
                                     std::function<std::string()> name, std::function<void()> onClick) {
    panel2_->AddPicture({.at96 = BoxAt(x, kPictureTop, kPictureSize, kPictureSize),
                         .drawing = [which](int dpi) { return which(TitlePictures::ForDpi(dpi)); },
                         .name = std::move(name),
                         .onClick = std::move(onClick)});
}

void BorderlessForm::PaintSurface(HDC dc, const RECT& client) {
    // The title strip: a shadow frame from (1, 1), then a highlight frame from
    // (0, 0) over it, one pixel each: a raised double frame.
    const int w = client.right;
    auto frame = [dc](int left, int top, int right, int bottom, COLORREF c) {
        Pen pen(::CreatePen(PS_SOLID, 1, c));
        SelectObjectScope s(dc, pen.Get());
        const POINT pts[5] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        ::Polyline(dc, pts, 5);
    };
    const int bottom = Scale(kStripHeight);
    frame(1, 1, w - 1, bottom - 1, ::GetSysColor(COLOR_BTNSHADOW));
    frame(0, 0, w - 2, bottom - 2, ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

LRESULT BorderlessForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCHITTEST: {
        // The window's own surface (the strip and its caption) drags the
        // window; child windows answer for themselves.
        const LRESULT hit = Form::WndProc(msg, wp, lp);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_SIZE: {
        // The strip's frame runs the whole width: a window that grew keeps
        // the part it had (the system invalidates only what the growth
        // uncovers) with the frame's old right edge in it.
        RECT strip{};
        ::GetClientRect(hwnd_, &strip);
        strip.bottom = Scale(kStripHeight);
        ::InvalidateRect(hwnd_, &strip, FALSE);
        break;
    }
    }
    return Form::WndProc(msg, wp, lp);
}

}  // namespace zelvane
