#include "gui/Surface.h"

#include <windowsx.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "base/Dpi.h"
#include "base/Error.h"
#include "base/Keys.h"
#include "base/Text.h"
#include "gui/Draw.h"
#include "gui/PaintBuffer.h"
#include "gui/SurfaceAccessible.h"
#include "gui/Timer.h"

namespace zelvane {

IAccessible* Surface::NewAccessibleObject() { return NewSurfaceAccessible(hwnd_); }

namespace {

// The sizes a raster face has in a character set.
std::vector<FixedSize> RasterSizes(HDC dc, const wchar_t* face, BYTE charset) {
    LOGFONTW which{};
    which.lfCharSet = charset;
    lstrcpynW(which.lfFaceName, face, LF_FACESIZE);
    std::vector<FixedSize> sizes;
    ::EnumFontFamiliesExW(
        dc, &which,
        [](const LOGFONTW*, const TEXTMETRICW* tm, DWORD type, LPARAM out) -> int CALLBACK {
            if (type & RASTER_FONTTYPE)
                reinterpret_cast<std::vector<FixedSize>*>(out)->push_back(
                    {tm->tmHeight, tm->tmHeight - tm->tmInternalLeading});
            return 1;
        },
        reinterpret_cast<LPARAM>(&sizes), 0);
    return sizes;
}

bool IsRaster(HDC dc, HFONT font, TEXTMETRICW& tm, wchar_t (&face)[LF_FACESIZE]) {
    SelectObjectScope selected(dc, font);
    if (!::GetTextMetricsW(dc, &tm) || !::GetTextFaceW(dc, LF_FACESIZE, face)) return false;
    return !(tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE | TMPF_DEVICE));
}

// An outline face with Cyrillic letters for text a raster face cannot draw:
// MS Sans Serif's own outline twin where the system has it, else Tahoma,
// whose widths are close to MS Sans Serif's. None when neither is there.
Font OutlineStandIn(HDC dc, LOGFONTW lf) {
    for (const wchar_t* face : {L"Microsoft Sans Serif", L"Tahoma"}) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        Font outline(::CreateFontIndirectW(&lf));
        TEXTMETRICW tm{};
        wchar_t got[LF_FACESIZE] = {};
        if (!IsRaster(dc, outline.Get(), tm, got) && got[0] && lstrcmpiW(got, face) == 0) return outline;
    }
    return Font();
}

}  // namespace

Font MakeFont(const std::string& face, int pixelHeight, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    // The program's texts are Russian: the Cyrillic set, whatever the
    // system's code page (on a Russian system the default set is this one).
    // A raster face has no letters outside its set.
    lf.lfCharSet = RUSSIAN_CHARSET;
    const std::wstring w = Widen(face);
    lstrcpynW(lf.lfFaceName, w.c_str(), LF_FACESIZE);
    Font font(::CreateFontIndirectW(&lf));
    // A raster face (MS Sans Serif is one) comes in a few sizes, and which
    // ones follows the system's DPI, not the window's. The mapper may take a
    // size taller than asked, or, far above the tallest, double or triple
    // one, which draws letters as blocks: the tallest size that fits is
    // taken instead.
    WindowDc screen(nullptr);
    TEXTMETRICW tm{};
    wchar_t chosen[LF_FACESIZE] = {};
    if (!IsRaster(screen.Get(), font.Get(), tm, chosen)) {
        // A system without MS Sans Serif in the Cyrillic set (one of another
        // code page) gives another face of its own choosing, often a much
        // wider one: an outline face close to it stands in.
        if (lstrcmpiW(w.c_str(), L"MS Sans Serif") == 0 && lstrcmpiW(chosen, w.c_str()) != 0) {
            if (Font standIn = OutlineStandIn(screen.Get(), lf)) return standIn;
        }
        return font;
    }
    const int cell = FixedSizeCell(RasterSizes(screen.Get(), chosen, tm.tmCharSet), tm.tmHeight, pixelHeight);
    if (cell == tm.tmHeight) return font;
    lf.lfCharSet = tm.tmCharSet;
    if (cell > 0) {
        lf.lfHeight = cell;  // positive: the cell's height
        lstrcpynW(lf.lfFaceName, chosen, LF_FACESIZE);
        return Font(::CreateFontIndirectW(&lf));
    }
    Font standIn = OutlineStandIn(screen.Get(), lf);
    return standIn ? std::move(standIn) : std::move(font);
}

void Surface::CreateSurface(const wchar_t* className, DWORD exStyle, DWORD style, const std::string& text, int x,
                            int y, int w, int h, HWND parent, COLORREF color) {
    color_ = color;
    MakeFonts();
    CreateWindowOfClass(className, CS_DBLCLKS, exStyle, style, text, x, y, w, h, parent);
}

void Surface::SetColor(COLORREF c) {
    color_ = c;
    Refresh();
}

Label& Surface::AddLabel(const std::string& name, int x, int y, const std::string& text, COLORREF color, int w,
                         int h) {
    Label l;
    l.name = name;
    l.text = text;
    l.color = color;
    l.at96 = BoxAt(x, y, w, h);
    PlaceLabel(l);
    labels_.push_back(std::move(l));
    return labels_.back();
}

Label* Surface::FindLabel(const std::string& name) {
    for (auto& l : labels_) {
        if (l.name == name) return &l;
    }
    throw Error(FormatMessage1("No label %s", name));
}

HWND Surface::AddControl(const wchar_t* className, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                         const std::string& text) {
    const Box b = ScaleBox(x, y, w, h, dpi_);
    HWND child = ::CreateWindowExW(exStyle, className, Widen(text).c_str(), style | WS_CHILD | WS_VISIBLE, b.left,
                                   b.top, b.Width(), b.Height(), hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!child) throw Error(FormatMessage1("Cannot create a control of class %s", Narrow(className)));
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    children_.push_back({child, BoxAt(x, y, w, h), kFixed, false});
    PlaceTextSizedLabels();
    return child;
}

void Surface::SetControlColors(HWND child, COLORREF background, COLORREF text) {
    auto& c = controlColors_[child];
    c.text = text;
    c.background = background;
    c.brush = Brush(::CreateSolidBrush(background));
    ::InvalidateRect(child, nullptr, TRUE);
}

void Surface::OnCommand(HWND child, WORD code, std::function<void()> handler) {
    commands_[{child, code}] = std::move(handler);
}

void Surface::OnNotify(HWND child, std::function<LRESULT(NMHDR*)> handler) { notifies_[child] = std::move(handler); }

void Surface::OnDrawItem(HWND child, std::function<void(const DRAWITEMSTRUCT&)> handler) {
    drawItems_[child] = std::move(handler);
}

void Surface::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    PaintArea(dc, ps.rcPaint);
    ::EndPaint(hwnd_, &ps);
}

void Surface::PaintNow(const RECT& r) {
    if (!::IsWindowVisible(hwnd_)) return;
    // The window's DC is clipped to what can be seen of it, children excluded.
    WindowDc dc(hwnd_);
    PaintArea(dc.Get(), r);
}

void Surface::PaintArea(HDC dc, const RECT& r) {
    // Only the part that needs painting goes through the off-screen bitmap
    // (a ticker step repaints one label, not the whole window); the viewport
    // keeps the drawing code in client coordinates.
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    PaintBuffer buffer(dc, w, h);
    const HDC mem = buffer.Dc();
    ::SetViewportOrgEx(mem, -r.left, -r.top, nullptr);
    ::IntersectClipRect(mem, r.left, r.top, r.right, r.bottom);
    FillSolid(mem, r, color_);
    PaintSurface(mem, client);
    DrawLabels(mem);
    ::BitBlt(dc, r.left, r.top, w, h, mem, r.left, r.top, SRCCOPY);
}

Label* Surface::LabelAt(POINT p) {
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
        if (it->visible && ::PtInRect(&it->bounds, p)) return &*it;
    }
    return nullptr;
}

std::optional<LRESULT> Surface::OnChildControl(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        auto it = controlColors_.find(reinterpret_cast<HWND>(lp));
        if (it == controlColors_.end()) break;
        HDC dc = reinterpret_cast<HDC>(wp);
        ::SetTextColor(dc, it->second.text);
        ::SetBkColor(dc, it->second.background);
        return reinterpret_cast<LRESULT>(it->second.brush.Get());
    }
    case WM_COMMAND: {
        auto it = commands_.find({reinterpret_cast<HWND>(lp), HIWORD(wp)});
        if (it == commands_.end()) break;
        it->second();
        return 0;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        auto it = notifies_.find(hdr->hwndFrom);
        if (it != notifies_.end()) return it->second(hdr);
        break;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        auto it = drawItems_.find(item->hwndItem);
        if (it == drawItems_.end()) break;
        it->second(*item);
        return TRUE;
    }
    }
    return std::nullopt;
}

std::optional<LRESULT> Surface::OnMouse(UINT msg, LPARAM lp) {
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
    case WM_MOUSEMOVE:
        if (Label* l = LabelAt(p); l && l->onMouseMove) {
            l->onMouseMove();
        } else if (onMouseMove) {
            onMouseMove(p);
        }
        return 0;
    case WM_LBUTTONDOWN:
        pressed_ = LabelAt(p);
        break;
    case WM_LBUTTONUP: {
        // A click on a label is a press and a release on the same label.
        Label* l = LabelAt(p);
        Label* was = std::exchange(pressed_, nullptr);
        if (l && l == was && l->onClick) {
            l->onClick();
            return 0;
        }
        break;
    }
    }
    return std::nullopt;
}

LRESULT Surface::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (const auto painted = SelfPaintMessage(msg, [this] { Paint(); })) return *painted;
    if (const auto answered = OnChildControl(msg, wp, lp)) return *answered;
    if (const auto handled = OnMouse(msg, lp)) return *handled;
    if (msg == WM_TIMER && Timer::Dispatch(hwnd_, wp)) return 0;
    if (msg == WM_SIZE && wp != SIZE_MINIMIZED) PlaceChildren(false, SWP_NOZORDER | SWP_NOACTIVATE);
    return Window::WndProc(msg, wp, lp);
}

// ---- Panel ----------------------------------------------------------------

Panel::Panel(HWND parent, int x, int y, int w, int h, COLORREF color, Bevel outer, Bevel inner,
             const std::string& caption)
    : outer_(outer), inner_(inner), caption_(caption) {
    Create(parent, BoxAt(x, y, w, h), color, WS_EX_CONTROLPARENT, WS_CLIPCHILDREN);
}

Panel::Panel(TakesFocus, HWND parent, const Box& at96, COLORREF color, Bevel outer)
    : outer_(outer), inner_(Bevel::None) {
    Create(parent, at96, color, 0, WS_TABSTOP);
}

void Panel::Create(HWND parent, const Box& at96, COLORREF color, DWORD exStyle, DWORD style) {
    dpi_ = DpiOf(parent);
    size96_ = {at96.Width(), at96.Height()};
    const Box b = ScaleBox(at96, dpi_);
    CreateSurface(L"ZelvanePanel", exStyle, WS_CHILD | WS_VISIBLE | style, caption_, b.left, b.top, b.Width(),
                  b.Height(), parent, color);
    if (Window* owner = FromHandle(parent)) owner->AdoptChild(hwnd_, at96);
}

void Panel::SetInnerBevel(Bevel b) {
    inner_ = b;
    Refresh();
}

void Panel::SetTabStop() {
    tabStop_ = true;
    // A stop itself, not a container of stops.
    ::SetWindowLongW(hwnd_, GWL_EXSTYLE, ::GetWindowLongW(hwnd_, GWL_EXSTYLE) & ~WS_EX_CONTROLPARENT);
    ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) | WS_TABSTOP);
}

void Panel::OnKeyRelease(WORD key) {
    if (!tabStop_ || !onClick || (key != kVkReturn && key != kVkSpace)) return;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return;
    onClick();
}

namespace {
void DrawBevel(HDC dc, RECT& r, Panel::Bevel b) {
    if (b == Panel::Bevel::None) return;
    const COLORREF hi = ::GetSysColor(COLOR_BTNHIGHLIGHT), sh = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF tl = b == Panel::Bevel::Raised ? hi : sh;
    const COLORREF br = b == Panel::Bevel::Raised ? sh : hi;
    const Pen pTl(::CreatePen(PS_SOLID, 1, tl)), pBr(::CreatePen(PS_SOLID, 1, br));
    DrawFrame(dc, r, pTl.Get(), pBr.Get());
    ::InflateRect(&r, -1, -1);
}
}  // namespace

void Panel::PaintSurface(HDC dc, const RECT& client) {
    RECT r = client;
    DrawBevel(dc, r, outer_);
    DrawBevel(dc, r, inner_);
    if (!caption_.empty()) {
        SelectObjectScope font(dc, font_.Get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(0, 0, 0));
        const std::wstring w = Widen(caption_);
        RECT t = client;
        ::DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (onPaint) onPaint(dc);
    if (tabStop_ && ::GetFocus() == hwnd_ && !(::SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        RECT f = client;
        const int inset = ScaleEdge(4, dpi_);
        ::InflateRect(&f, -inset, -inset);
        DrawFocusFrame(dc, f);
    }
    if (bevelLines_.empty()) return;
    const Pen shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    const Pen light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    for (const Box& at96 : bevelLines_) {
        const Box b = ScaleBox(at96, dpi_);
        SelectObjectScope s(dc, shadow.Get());
        ::MoveToEx(dc, b.left, b.bottom - 2, nullptr);
        ::LineTo(dc, b.right, b.bottom - 2);
        SelectObjectScope l(dc, light.Get());
        ::MoveToEx(dc, b.left, b.bottom - 1, nullptr);
        ::LineTo(dc, b.right, b.bottom - 1);
    }
}

LRESULT Panel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        if (tabStop_) Refresh();
        break;
    case WM_SIZE:
        // The bevels run along the edges and the caption is centred: a
        // panel that grew would keep them where they were.
        if (outer_ != Bevel::None || inner_ != Bevel::None || !caption_.empty() || onPaint) Refresh();
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (onMouseDown) {
            ::SetCapture(hwnd_);
            onMouseDown(msg == WM_LBUTTONDOWN ? 0 : msg == WM_RBUTTONDOWN ? 1 : 2);
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if (::GetCapture() == hwnd_) ::ReleaseCapture();
        if (onMouseUp) onMouseUp(msg == WM_LBUTTONUP ? 0 : msg == WM_RBUTTONUP ? 1 : 2);
        if (msg == WM_LBUTTONUP && onClick) {
            RECT r;
            ::GetClientRect(hwnd_, &r);
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (::PtInRect(&r, p)) {
                onClick();
                return 0;
            }
        }
        break;
    }
    }
    return Surface::WndProc(msg, wp, lp);
}

}  // namespace zelvane
