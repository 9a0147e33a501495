#include "gui/Controls.h"

#include <commctrl.h>

#include <memory>
#include <optional>

#include "base/Dpi.h"
#include "base/Error.h"
#include "base/Text.h"
#include "gui/ControlAccessible.h"
#include "gui/Draw.h"
#include "gui/PaintBuffer.h"
#include "gui/Pictures.h"

namespace zelvane {

namespace {

// The status bar paints through the off-screen bitmap, as the program's own
// windows do, and all of itself after a change of size: its class redraws it
// only when its height changes, so a wider bar would keep its part's old right
// edge where the bar used to end.
LRESULT CALLBACK StatusBarProc(HWND bar, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (msg) {
    case WM_SIZE:
        ::InvalidateRect(bar, nullptr, FALSE);
        break;
    case WM_ERASEBKGND:
        return 1;  // the paint fills the whole bar
    case WM_PAINT: {
        if (wp) break;  // asked to paint into a DC of the caller's
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(bar, &ps);
        RECT client{};
        ::GetClientRect(bar, &client);
        const RECT& r = ps.rcPaint;
        if (r.right > r.left && r.bottom > r.top) {
            PaintBuffer buffer(dc, client.right, client.bottom);
            FillSolid(buffer.Dc(), client, ::GetSysColor(COLOR_BTNFACE));
            ::DefSubclassProc(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer.Dc()), PRF_CLIENT);
            ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer.Dc(), r.left, r.top, SRCCOPY);
        }
        ::EndPaint(bar, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(bar, &StatusBarProc, 0);
        break;
    }
    return ::DefSubclassProc(bar, msg, wp, lp);
}

// The tool bar's keyboard focus: the focused button, kept with the bar.
struct ToolBarFocus {
    int button = -1;
};

bool IsSeparator(HWND bar, int index) {
    TBBUTTON tb{};
    if (!::SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb))) return true;
    return (tb.fsStyle & BTNS_SEP) != 0;
}

// The button `steps` buttons from `from` (separators skipped), stopping at
// the last one there is in that direction; `from` itself when there is none.
int ButtonAfter(HWND bar, int from, int steps) {
    const int count = static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    const int way = steps < 0 ? -1 : 1;
    int at = from;
    for (int i = from + way, left = steps < 0 ? -steps : steps; left > 0 && i >= 0 && i < count; i += way) {
        if (IsSeparator(bar, i)) continue;
        at = i;
        --left;
    }
    return at;
}

ToolBarFocus* FocusOf(HWND bar);

void RedrawButton(HWND bar, int index) {
    RECT r{};
    if (index >= 0 && ::SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) {
        ::InvalidateRect(bar, &r, TRUE);
    }
}

// Moves the focus to button `to` and redraws the two buttons it concerns; a
// reader hears the new one.
void FocusButton(HWND bar, ToolBarFocus& focus, int to) {
    RedrawButton(bar, focus.button);
    RedrawButton(bar, to);
    focus.button = to;
    long child = 0;  // a reader's children are the buttons without the separators
    for (int i = 0; i <= to; ++i) child += IsSeparator(bar, i) ? 0 : 1;
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, bar, OBJID_CLIENT, child);
}

LRESULT CALLBACK ToolBarKeysProc(HWND bar, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto& focus = *reinterpret_cast<ToolBarFocus*>(data);
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | (lp && reinterpret_cast<const MSG*>(lp)->wParam == VK_RETURN ? DLGC_WANTMESSAGE : 0);
    case WM_SETFOCUS:
        // Not passed on: the bar's class would make its first button hot,
        // which looks like the pointer over it.
        if (focus.button < 0 || IsSeparator(bar, focus.button)) focus.button = ButtonAfter(bar, -1, 1);
        FocusButton(bar, focus, focus.button);
        return 0;
    case WM_KILLFOCUS:
        RedrawButton(bar, focus.button);
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        switch (wp) {
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_HOME:
        case VK_END: {
            if (msg == WM_KEYUP) return 0;
            const int count = static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
            const int to = wp == VK_HOME  ? ButtonAfter(bar, -1, 1)
                           : wp == VK_END ? ButtonAfter(bar, count, -1)
                                          : ButtonAfter(bar, focus.button, wp == VK_LEFT || wp == VK_UP ? -1 : 1);
            if (to >= 0 && to < count) FocusButton(bar, focus, to);
            return 0;
        }
        case VK_RETURN:
        case VK_SPACE:
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(bar, &ToolBarKeysProc, 0);
        delete &focus;
        break;
    }
    return ::DefSubclassProc(bar, msg, wp, lp);
}

ToolBarFocus* FocusOf(HWND bar) {
    DWORD_PTR data = 0;
    return ::GetWindowSubclass(bar, &ToolBarKeysProc, 0, &data) ? reinterpret_cast<ToolBarFocus*>(data) : nullptr;
}

}  // namespace

// The text of a list item: `lengthMsg` asks for its length, `textMsg` copies
// it; nothing when there is no such item (`error`).
std::optional<std::wstring> ItemString(HWND list, UINT lengthMsg, UINT textMsg, int index, LRESULT error) {
    const LRESULT len = ::SendMessageW(list, lengthMsg, static_cast<WPARAM>(index), 0);
    if (len == error || len < 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    const LRESULT got = ::SendMessageW(list, textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == error || got < 0 ? 0 : static_cast<std::size_t>(got));
    return text;
}

// ---- Control ------------------------------------------------------------------

Control::Control(Surface& parent, const wchar_t* className, DWORD style, int x, int y, int w, int h,
                 const std::string& text)
    : hwnd_(parent.AddControl(className, style, 0, x, y, w, h, text)), surface_(&parent) {}

void Control::SetText(const std::string& text) { ::SetWindowTextW(hwnd_, Widen(text).c_str()); }

void Control::SetBounds(const Box& at96, unsigned follow) { surface_->SetChildBounds(hwnd_, at96, follow); }

void Control::SetAccessibleName(std::function<std::string()> name) { NameControl(hwnd_, std::move(name)); }

// ---- Edit -------------------------------------------------------------------------

Edit::Edit(Surface& parent, int x, int y, int w, int h)
    : Control(parent, WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, x, y, w, h) {}

// ---- ListBox ----------------------------------------------------------------------

ListBox::ListBox(Surface& parent, int x, int y, int w, int h, DWORD style)
    : Control(parent, WC_LISTBOXW, style, x, y, w, h) {}

int ListBox::Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }

std::string ListBox::ItemText(int index) const {
    const auto text = ItemString(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, index, LB_ERR);
    if (!text) throw Error(FormatMessage1("List index out of bounds (%s)", std::to_string(index)));
    return Narrow(*text);
}

int ListBox::Add(const std::string& text) {
    const LRESULT at = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

void ListBox::Clear() { Send(LB_RESETCONTENT); }

void ListBox::Reserve(int count, int textLength) {
    Send(LB_INITSTORAGE, static_cast<WPARAM>(count),
         static_cast<LPARAM>(static_cast<std::size_t>(count) * static_cast<std::size_t>(textLength) * sizeof(wchar_t)));
}

void ListBox::SetItemData(int index, std::uintptr_t data) {
    Send(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

std::uintptr_t ListBox::ItemData(int index) const {
    return static_cast<std::uintptr_t>(Send(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int ListBox::SelectedIndex() const { return static_cast<int>(Send(LB_GETCURSEL)); }

void ListBox::SetSelectedIndex(int index) {
    if (index < -1 || index >= Count()) return;
    Send(LB_SETCURSEL, static_cast<WPARAM>(index));
}

void ListBox::SetItemHeight(int at96) {
    surface_->KeepAtDpi(hwnd_, LB_SETITEMHEIGHT, [list = hwnd_, at96](int dpi) {
        ::SendMessageW(list, LB_SETITEMHEIGHT, 0, ScaleSize(at96, dpi));
    });
}

void ListBox::DrawItemText(const DRAWITEMSTRUCT& item, const std::string& text, int indent96) const {
    const std::wstring w = Widen(text);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(item.hDC, &tm);
    const RECT& r = item.rcItem;
    const int y = r.top + (r.bottom - r.top - tm.tmHeight) / 2;
    ::ExtTextOutW(item.hDC, r.left + ScaleEdge(indent96, surface_->Dpi()), y, ETO_OPAQUE | ETO_CLIPPED, &r, w.c_str(),
                  static_cast<UINT>(w.size()), nullptr);
}

void ListBox::SetRedraw(bool on) { Send(WM_SETREDRAW, on ? TRUE : FALSE); }

// ---- ComboBox ---------------------------------------------------------------------

ComboBox::ComboBox(Surface& parent, int x, int y, int w, int h, DWORD style)
    : Control(parent, WC_COMBOBOXW, style, x, y, w, h) {}

int ComboBox::Add(const std::string& text) {
    const LRESULT at = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

int ComboBox::FindExact(const std::string& text) const {
    const LRESULT at =
        Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Widen(text).c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

std::string ComboBox::ItemText(int index) const {
    return Narrow(ItemString(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, CB_ERR).value_or(std::wstring()));
}

int ComboBox::SelectedIndex() const {
    const LRESULT at = Send(CB_GETCURSEL);
    return at < 0 ? -1 : static_cast<int>(at);
}

void ComboBox::SetSelectedIndex(int index) { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

void ComboBox::SetFieldHeight(int at96) {
    surface_->KeepAtDpi(hwnd_, CB_SETITEMHEIGHT, [box = *this, at96](int dpi) {
        const auto setText = [&box](int pixels) { box.Send(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), pixels); };
        setText(ScaleEdge(at96, dpi));
        if (dpi == kBaseDpi) return;
        const int frame = box.FieldHeight() - ScaleEdge(at96, dpi);
        setText(ScaleEdge(at96 + frame, dpi) - frame);
    });
}

int ComboBox::FieldHeight() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}

// ---- CheckBox ---------------------------------------------------------------------

CheckBox::CheckBox(Surface& parent, int x, int y, int w, int h, const std::string& caption)
    : Control(parent, WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX, x, y, w, h, caption) {}

bool CheckBox::Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }

// ---- ToolBar ----------------------------------------------------------------------

ToolBar::ToolBar(Surface& parent, int x, int y, int w, int h)
    : Control(parent, TOOLBARCLASSNAMEW,
              TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, x, y, w, h) {
    Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
}

void ToolBar::SetButtons(PictureKind pictures, int w, int h, std::vector<Button> buttons) {
    std::shared_ptr<ImageList> shown;
    surface_->KeepAtDpi(hwnd_, TB_ADDBUTTONSW, [bar = *this, pictures, w, h, buttons = std::move(buttons), shown](
                                                   int dpi) mutable {
        auto images = std::make_shared<ImageList>(DrawnImageList(pictures, dpi));
        bar.LayOutButtons(images->Handle(), dpi, w, h, buttons);
        shown = std::move(images);  // the pictures it replaces go once the bar has let go of them
    });
}

void ToolBar::LayOutButtons(HIMAGELIST images, int dpi, int w, int h, const std::vector<Button>& buttons) {
    std::vector<bool> down;
    for (const Button& b : buttons) down.push_back(b.kind == Kind::Toggle && IsChecked(b.command));
    Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    for (auto n = Send(TB_BUTTONCOUNT); n > 0; --n) Send(TB_DELETEBUTTON, static_cast<WPARAM>(n - 1));
    Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(ScaleEdge(w, dpi), ScaleEdge(h, dpi)));
    for (const Button& b : buttons) {
        TBBUTTON tb{};
        tb.iBitmap = b.kind == Kind::Separator ? ScaleEdge(b.image, dpi) : b.image;
        tb.idCommand = b.command;
        tb.fsState = TBSTATE_ENABLED;
        tb.fsStyle =
            static_cast<BYTE>(b.kind == Kind::Separator ? BTNS_SEP : b.kind == Kind::Toggle ? BTNS_CHECK : BTNS_BUTTON);
        Send(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
    }
    if (dpi != kBaseDpi) {
        // Each button between its own scaled edges: a row of equal scaled
        // widths would drift from the scaled layout by a pixel every two.
        int edge = 0, index = 0;
        for (const Button& b : buttons) {
            const int width = b.kind == Kind::Separator ? b.image : w;
            TBBUTTONINFOW info{};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
            info.cx = static_cast<WORD>(ScaleEdge(edge + width, dpi) - ScaleEdge(edge, dpi));
            Send(TB_SETBUTTONINFOW, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&info));
            edge += width;
        }
    }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (down[i]) SetChecked(buttons[i].command, true);
    }
}

void ToolBar::SetChecked(int command, bool checked) {
    Send(TB_CHECKBUTTON, static_cast<WPARAM>(command), MAKELPARAM(checked ? TRUE : FALSE, 0));
}

bool ToolBar::IsChecked(int command) const { return Send(TB_ISBUTTONCHECKED, static_cast<WPARAM>(command)) > 0; }

int ToolBar::HitTest(POINT client) const {
    return static_cast<int>(Send(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
}

int ToolBar::CommandOf(int index) const {
    TBBUTTON tb{};
    if (!Send(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb))) return 0;
    return tb.idCommand;
}

HWND ToolBar::ToolTips() const { return reinterpret_cast<HWND>(Send(TB_GETTOOLTIPS)); }

void ToolBar::SetAccessibleNames(std::function<std::string()> name, std::function<std::string(int)> buttonName) {
    NameToolBar(hwnd_, std::move(name), std::move(buttonName));
}

void ToolBar::TakeKeyboardFocus() {
    if (FocusOf(hwnd_)) return;
    ::SetWindowLongW(hwnd_, GWL_STYLE, ::GetWindowLongW(hwnd_, GWL_STYLE) | WS_TABSTOP);
    ::SetWindowSubclass(hwnd_, &ToolBarKeysProc, 0, reinterpret_cast<DWORD_PTR>(new ToolBarFocus));
}

int FocusedToolButton(HWND bar) {
    const ToolBarFocus* focus = ::GetFocus() == bar ? FocusOf(bar) : nullptr;
    return focus ? focus->button : -1;
}

int ToolBar::FocusedButton() const {
    const ToolBarFocus* focus = FocusOf(hwnd_);
    return focus ? focus->button : -1;
}

void ToolBar::PressFocused() {
    const int index = FocusedButton();
    if (index < 0 || IsSeparator(hwnd_, index)) return;
    TBBUTTON tb{};
    Send(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb));
    if (!(tb.fsState & TBSTATE_ENABLED)) return;
    if (tb.fsStyle & BTNS_CHECK) SetChecked(tb.idCommand, !IsChecked(tb.idCommand));
    ::SendMessageW(::GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(tb.idCommand, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

void ToolBar::DrawFocus(HDC dc) const {
    const int index = FocusedButton();
    RECT r{};
    if (index < 0 || ::GetFocus() != hwnd_ ||
        !Send(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) {
        return;
    }
    // Between the button's raised edge and its picture.
    const int inset = ScaleEdge(2, surface_->Dpi());
    ::InflateRect(&r, -inset, -inset);
    DrawFocusFrame(dc, r);
}

// ---- StatusBar --------------------------------------------------------------------

StatusBar::StatusBar(Surface& parent, int x, int y, int w, int h)
    : Control(parent, STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, x, y, w, h) {
    ::SetWindowSubclass(hwnd_, &StatusBarProc, 0, 0);
}

void StatusBar::SetText(const std::string& text) {
    Send(SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

}  // namespace zelvane
