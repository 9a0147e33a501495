#include "gui/BorderlessForm.h"

#include "gui/ImageList.h"
#include "resources/resource.h"

namespace zelvane {

const TitlePictures& TitlePictures::Get() {
    static const TitlePictures pictures = [] {
        HINSTANCE inst = ::GetModuleHandleW(nullptr);
        return TitlePictures{LoadBitmapResource(inst, IDB_CLOSE), LoadBitmapResource(inst, IDB_TITLE_MIN),
                             LoadBitmapResource(inst, IDB_TITLE_MAX)};
    }();
    return pictures;
}

void BorderlessForm::CreateBorderless(const Look& look) {
    buttonPanelWidth_ = look.buttonPanelWidth;
    clientTop_ = look.clientTop;
    CreateForm(look.windowText, Frame::None, look.stayOnTop, CW_USEDEFAULT, CW_USEDEFAULT, look.width, look.height,
               look.color);
    HideOnClose();
    AddLabel("Label1", 8, 4, look.caption, look.captionColor);
    panel2_ = std::make_unique<Panel>(hwnd_, look.width - buttonPanelWidth_ - 2, 2, buttonPanelWidth_, 18,
                                      kPanelColor, Panel::Bevel::Raised);
    image1_ = std::make_unique<ImageControl>(panel2_->Handle(), look.closeImageX, 1, 15, 15,
                                             TitlePictures::Get().close.Get());
    image1_->onClick = [this] { Image1Click(); };
    image1_->accessibleName = [] { return std::string("Закрыть"); };
    panel1_ = std::make_unique<Panel>(hwnd_, 0, clientTop_, look.width, look.height - clientTop_, look.panelColor,
                                      Panel::Bevel::None, Panel::Bevel::Lowered);
}

void BorderlessForm::LayoutChildren() {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    if (panel2_) {
        ::SetWindowPos(panel2_->Handle(), nullptr, r.right - buttonPanelWidth_ - 2, 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (panel1_) {
        ::SetWindowPos(panel1_->Handle(), nullptr, 0, clientTop_, r.right, r.bottom - clientTop_,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
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
    frame(1, 1, w - 1, 21, ::GetSysColor(COLOR_BTNSHADOW));
    frame(0, 0, w - 2, 20, ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

LRESULT BorderlessForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCHITTEST: {
        // The window's own surface (the strip and its caption) drags the
        // window; child windows answer for themselves.
        const LRESULT hit = Form::WndProc(msg, wp, lp);
        return hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_SIZE:
        LayoutChildren();
        break;
    }
    return Form::WndProc(msg, wp, lp);
}

}  // namespace zelvane
