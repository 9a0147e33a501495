#include "gui/ControlAnswers.h"

#include <commctrl.h>

#include "base/AccessibleModel.h"
#include "base/Text.h"
#include "gui/Accessible.h"
#include "gui/Controls.h"
#include "gui/Window.h"

namespace zelvane {

namespace {

// The default actions of a check box and of a drop-down list.
constexpr char kCheckAction[] = "Установить";
constexpr char kUncheckAction[] = "Снять";
constexpr char kOpenAction[] = "Открыть";
constexpr char kCloseAction[] = "Закрыть";

LRESULT Send(HWND control, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(control, msg, wp, lp); }

bool HasFocus(HWND control) {
    const HWND focus = ::GetFocus();
    return focus && (focus == control || ::IsChild(control, focus));
}

// The states every control shares.
long WindowStates(HWND control) {
    long state = STATE_SYSTEM_FOCUSABLE;
    if (HasFocus(control)) state |= STATE_SYSTEM_FOCUSED;
    if (!::IsWindowVisible(control)) state |= STATE_SYSTEM_INVISIBLE;
    if (!::IsWindowEnabled(control)) state |= STATE_SYSTEM_UNAVAILABLE;
    return state;
}

long ItemCount(HWND list) {
    const LRESULT count = Send(list, LB_GETCOUNT);
    return count > 0 ? static_cast<long>(count) : 0;
}

RECT ItemRect(HWND list, long id) {
    RECT r{};
    Send(list, LB_GETITEMRECT, static_cast<WPARAM>(id - 1), reinterpret_cast<LPARAM>(&r));
    return r;
}

long ItemState(HWND list, long id) {
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    const auto index = static_cast<WPARAM>(id - 1);
    if (Send(list, LB_GETSEL, index) > 0) state |= STATE_SYSTEM_SELECTED;
    if (HasFocus(list) && Send(list, LB_GETCARETINDEX) == static_cast<LRESULT>(index)) state |= STATE_SYSTEM_FOCUSED;
    RECT client{}, item = ItemRect(list, id), visible{};
    ::GetClientRect(list, &client);
    if (!::IntersectRect(&visible, &client, &item)) state |= STATE_SYSTEM_OFFSCREEN;
    if (!::IsWindowVisible(list)) state |= STATE_SYSTEM_INVISIBLE;
    return state;
}

void SetChild(VARIANT* out, long id) {
    V_VT(out) = VT_I4;
    V_I4(out) = id;
}

}  // namespace

ControlKind KindOfControl(HWND control) {
    wchar_t name[32] = {};
    ::GetClassNameW(control, name, 32);
    const auto is = [&](const wchar_t* cls) { return ::lstrcmpiW(name, cls) == 0; };
    if (is(WC_EDITW)) return ControlKind::Edit;
    if (is(WC_COMBOBOXW)) return ControlKind::ComboBox;
    if (is(WC_LISTBOXW)) return ControlKind::ListBox;
    if (is(STATUSCLASSNAMEW)) return ControlKind::StatusBar;
    if (is(WC_BUTTONW)) {
        const auto type = ::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
            return ControlKind::CheckBox;
        }
    }
    return ControlKind::Other;
}

namespace own {

long ChildCount(HWND control, ControlKind kind) { return kind == ControlKind::ListBox ? ItemCount(control) : 0; }

std::string Name(HWND control, ControlKind kind, long id) {
    if (kind != ControlKind::ListBox || id == kChildSelf) return {};
    return Narrow(ItemString(control, LB_GETTEXTLEN, LB_GETTEXT, static_cast<int>(id - 1), LB_ERR).value_or(L""));
}

std::string Value(HWND control, ControlKind kind, long id) {
    if (id != kChildSelf) return {};
    if (kind == ControlKind::ComboBox) {
        const auto chosen = static_cast<int>(Send(control, CB_GETCURSEL));
        return Narrow(ItemString(control, CB_GETLBTEXTLEN, CB_GETLBTEXT, chosen, CB_ERR).value_or(L""));
    }
    // A password is never read out.
    if (kind == ControlKind::Edit && !(::GetWindowLongPtrW(control, GWL_STYLE) & ES_PASSWORD)) {
        return WindowText(control);
    }
    return {};
}

long Role(ControlKind kind, long id) {
    switch (kind) {
    case ControlKind::Edit: return ROLE_SYSTEM_TEXT;
    case ControlKind::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case ControlKind::ComboBox: return ROLE_SYSTEM_COMBOBOX;
    case ControlKind::ListBox: return id == kChildSelf ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
    case ControlKind::StatusBar: return ROLE_SYSTEM_STATUSBAR;
    case ControlKind::Other: break;
    }
    return ROLE_SYSTEM_CLIENT;
}

long State(HWND control, ControlKind kind, long id) {
    if (kind == ControlKind::ListBox && id != kChildSelf) return ItemState(control, id);
    if (kind == ControlKind::StatusBar) return ::IsWindowVisible(control) ? 0 : STATE_SYSTEM_INVISIBLE;
    long state = WindowStates(control);
    const auto style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if (kind == ControlKind::CheckBox) {
        const LRESULT check = Send(control, BM_GETCHECK);
        if (check == BST_CHECKED) state |= STATE_SYSTEM_CHECKED;
        if (check == BST_INDETERMINATE) state |= STATE_SYSTEM_MIXED;
    } else if (kind == ControlKind::ComboBox) {
        state |= Send(control, CB_GETDROPPEDSTATE) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    } else if (kind == ControlKind::Edit) {
        if (style & ES_READONLY) state |= STATE_SYSTEM_READONLY;
        if (style & ES_PASSWORD) state |= STATE_SYSTEM_PROTECTED;
    }
    return state;
}

std::optional<RECT> Location(HWND control, ControlKind kind, long id) {
    if (kind != ControlKind::ListBox || id == kChildSelf) return std::nullopt;
    RECT r = ItemRect(control, id);
    ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string DefaultAction(HWND control, ControlKind kind, long id) {
    if (id != kChildSelf) return {};
    if (kind == ControlKind::CheckBox) return Send(control, BM_GETCHECK) == BST_CHECKED ? kUncheckAction : kCheckAction;
    if (kind == ControlKind::ComboBox) return Send(control, CB_GETDROPPEDSTATE) ? kCloseAction : kOpenAction;
    return {};
}

HRESULT DoDefaultAction(HWND control, ControlKind kind, long id) {
    if (id != kChildSelf || !::IsWindowEnabled(control)) return DISP_E_MEMBERNOTFOUND;
    // Posted, so that what the click sets off does not hold the reader's call.
    if (kind == ControlKind::CheckBox) return ::PostMessageW(control, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    if (kind == ControlKind::ComboBox) {
        const WPARAM open = Send(control, CB_GETDROPPEDSTATE) ? FALSE : TRUE;
        return ::PostMessageW(control, CB_SHOWDROPDOWN, open, 0) ? S_OK : E_FAIL;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT Select(HWND control, ControlKind kind, long flags, long id) {
    if (id == kChildSelf) {
        // Any control that takes the focus takes it from a reader too.
        if (flags != SELFLAG_TAKEFOCUS || kind == ControlKind::StatusBar) return E_INVALIDARG;
        ::SetFocus(control);
        return S_OK;
    }
    // The list selects one item: adding, removing or extending is not offered.
    if (flags & (SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION | SELFLAG_EXTENDSELECTION)) return E_INVALIDARG;
    if (!(flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION))) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) ::SetFocus(control);
    if (flags & SELFLAG_TAKESELECTION) Send(control, LB_SETCURSEL, static_cast<WPARAM>(id - 1));
    return S_OK;
}

HRESULT Focus(HWND control, ControlKind kind, VARIANT* out) {
    if (!HasFocus(control)) return S_FALSE;
    const LRESULT caret = kind == ControlKind::ListBox ? Send(control, LB_GETCARETINDEX) : LB_ERR;
    SetChild(out, caret >= 0 && caret < ItemCount(control) ? static_cast<long>(caret) + 1 : kChildSelf);
    return S_OK;
}

HRESULT Selection(HWND control, ControlKind kind, VARIANT* out) {
    if (kind != ControlKind::ListBox) return S_FALSE;
    const LRESULT selected = Send(control, LB_GETCURSEL);
    if (selected < 0) return S_FALSE;
    SetChild(out, static_cast<long>(selected) + 1);
    return S_OK;
}

HRESULT HitTest(HWND control, ControlKind kind, POINT screen, VARIANT* out) {
    RECT r{};
    ::GetWindowRect(control, &r);
    if (!::PtInRect(&r, screen)) return S_FALSE;
    if (kind == ControlKind::ListBox) {
        POINT client = screen;
        ::ScreenToClient(control, &client);
        const LRESULT hit = Send(control, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
        // The high word says the point is outside every item.
        if (HIWORD(hit) == 0 && LOWORD(hit) < ItemCount(control)) {
            SetChild(out, static_cast<long>(LOWORD(hit)) + 1);
            return S_OK;
        }
    }
    SetChild(out, kChildSelf);
    return S_OK;
}

}  // namespace own

ControlLook LookOf(HWND control, ControlKind kind, WNDPROC original) {
    ControlLook look;
    if (kind == ControlKind::CheckBox) look.checked = ::CallWindowProcW(original, control, BM_GETCHECK, 0, 0);
    if (kind == ControlKind::ComboBox) look.selected = ::CallWindowProcW(original, control, CB_GETCURSEL, 0, 0);
    if (kind == ControlKind::ListBox) look.selected = ::CallWindowProcW(original, control, LB_GETCURSEL, 0, 0);
    return look;
}

void TellChange(HWND control, ControlKind kind, const ControlLook& before, const ControlLook& now) {
    if (before == now) return;
    if (kind == ControlKind::CheckBox) {
        NotifyAccessibleEvent(EVENT_OBJECT_STATECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    } else if (kind == ControlKind::ComboBox) {
        NotifyAccessibleEvent(EVENT_OBJECT_VALUECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
    } else if (kind == ControlKind::ListBox && now.selected >= 0) {
        const LONG item = static_cast<LONG>(now.selected) + 1;
        NotifyAccessibleEvent(EVENT_OBJECT_SELECTION, control, OBJID_CLIENT, item);
        if (HasFocus(control)) NotifyAccessibleEvent(EVENT_OBJECT_FOCUS, control, OBJID_CLIENT, item);
    }
}

}  // namespace zelvane
