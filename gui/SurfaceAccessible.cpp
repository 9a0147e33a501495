// The client objects of our surfaces (forms and panels: their painted labels
// and pictures, then their child windows) and of the title strips' panels of
// pictures.
#include "gui/SurfaceAccessible.h"

#include <vector>

#include "base/AccessibleModel.h"
#include "gui/Accessible.h"
#include "gui/Controls.h"
#include "gui/Surface.h"
#include "gui/TitlePanel.h"
#include "sys/DynCalls.h"

namespace zelvane {

namespace {

// A click as the mouse gives it, at the centre of `r` (client coordinates),
// posted so that a dialog the click opens does not hold the reader's call.
void PostClick(HWND hwnd, const RECT& r) {
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    return children;
}

bool TopLevel(HWND hwnd) { return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) == 0; }

// What the program shows as the name of a surface: the name its owner gave
// it (a borderless form's title strip caption), else its caption (a panel's
// centred caption, a framed window's title). A panel without one is only a
// grouping within its window and has no name (the window's would be heard
// twice).
std::string SurfaceName(Window& window) {
    if (window.accessibleName) return window.accessibleName();
    return SpokenText(WindowText(window.Handle()));
}

long WindowState(HWND hwnd) {
    long state = 0;
    if (!::IsWindowVisible(hwnd)) state |= STATE_SYSTEM_INVISIBLE;
    if (!::IsWindowEnabled(hwnd)) state |= STATE_SYSTEM_UNAVAILABLE;
    if (::GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP) state |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == hwnd) state |= STATE_SYSTEM_FOCUSED;
    return state;
}

RECT ClientOnScreen(HWND hwnd) {
    RECT r{};
    ::GetClientRect(hwnd, &r);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class SurfaceAccessible : public AccessibleBase {
public:
    explicit SurfaceAccessible(HWND hwnd) : AccessibleBase(hwnd) {}

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        return Self() ? S_OK : RPC_E_DISCONNECTED;
    }
    Surface* Self() { return dynamic_cast<Surface*>(Window::FromHandle(Hwnd())); }
    const std::vector<Label>& Items() { return Self()->Labels(); }
    // The children in reading order: child id `id` is the painted item or
    // child window at place id - 1 of that order.
    SurfaceChild Classify(long id) {
        const int items = static_cast<int>(Items().size());
        const std::vector<HWND> windows = ChildWindows(Hwnd());
        if (id < 1 || id > items + static_cast<long>(windows.size())) {
            return ClassifySurfaceChild(id, items, static_cast<int>(windows.size()));
        }
        std::vector<Box> boxes;
        for (const Label& l : Items()) boxes.push_back({l.bounds.left, l.bounds.top, l.bounds.right, l.bounds.bottom});
        for (const HWND w : windows) {
            RECT r{};
            ::GetWindowRect(w, &r);
            ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
            boxes.push_back({r.left, r.top, r.right, r.bottom});
        }
        const int natural = ReadingOrder(boxes).at(static_cast<std::size_t>(id - 1));
        return ClassifySurfaceChild(natural + 1, items, static_cast<int>(windows.size()));
    }
    const Label& Item(const SurfaceChild& c) { return Items().at(static_cast<std::size_t>(c.index)); }
    Panel* AsButton() {
        auto* panel = dynamic_cast<Panel*>(Self());
        return panel && panel->onClick ? panel : nullptr;
    }

    long ChildCount() override { return static_cast<long>(Items().size() + ChildWindows(Hwnd()).size()); }
    HRESULT Child(long id, IDispatch** object) override {
        const SurfaceChild c = Classify(id);
        if (c.kind != SurfaceChild::Kind::Window) return AccessibleBase::Child(id, object);
        const HWND child = ChildWindows(Hwnd()).at(static_cast<std::size_t>(c.index));
        return dyn::AccessibleObjectFromWindow()(child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IDispatch),
                                                 reinterpret_cast<void**>(object));
    }
    // A child window answers for itself; asked through its parent, the
    // parent asks it.
    template <typename T>
    T FromChildWindow(long id, T fallback, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, T*)) {
        IDispatch* object = nullptr;
        if (Child(id, &object) != S_OK || !object) return fallback;
        IAccessible* acc = nullptr;
        T value = fallback;
        if (SUCCEEDED(object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&acc)))) {
            (acc->*get)(ChildIdOf(CHILDID_SELF), &value);
            acc->Release();
        }
        object->Release();
        return value;
    }
    std::string Name(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self) return SurfaceName(*Self());
        if (c.kind == SurfaceChild::Kind::Window) {
            return TakeBstr(FromChildWindow<BSTR>(id, nullptr, &IAccessible::get_accName));
        }
        const Label& l = Item(c);
        return l.spokenName.empty() ? SpokenText(l.text) : l.spokenName;
    }
    long Role(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self) {
            if (AsButton()) return ROLE_SYSTEM_PUSHBUTTON;
            return TopLevel(Hwnd()) ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PANE;
        }
        if (c.kind == SurfaceChild::Kind::Window) {
            VARIANT role = FromChildWindow<VARIANT>(id, VARIANT{}, &IAccessible::get_accRole);
            const long value = V_VT(&role) == VT_I4 ? V_I4(&role) : ROLE_SYSTEM_CLIENT;
            ClearVariant(&role);
            return value;
        }
        const Label& l = Item(c);
        if (l.onClick) return ROLE_SYSTEM_PUSHBUTTON;
        return l.picture ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT;
    }
    long State(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self) return WindowState(Hwnd());
        if (c.kind == SurfaceChild::Kind::Window) {
            VARIANT state = FromChildWindow<VARIANT>(id, VARIANT{}, &IAccessible::get_accState);
            return V_VT(&state) == VT_I4 ? V_I4(&state) : 0;
        }
        const Label& l = Item(c);
        long state = l.onClick ? 0 : STATE_SYSTEM_READONLY;
        if (!l.visible || !::IsWindowVisible(Hwnd())) state |= STATE_SYSTEM_INVISIBLE;
        return state;
    }
    std::optional<RECT> Location(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self) return ClientOnScreen(Hwnd());
        if (c.kind == SurfaceChild::Kind::Window) {
            RECT r{};
            ::GetWindowRect(ChildWindows(Hwnd()).at(static_cast<std::size_t>(c.index)), &r);
            return r;
        }
        return ToScreen(Item(c).bounds);
    }
    std::string DefaultAction(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self) return AsButton() ? kPressAction : "";
        if (c.kind == SurfaceChild::Kind::Item) return Item(c).onClick ? kPressAction : "";
        return TakeBstr(FromChildWindow<BSTR>(id, nullptr, &IAccessible::get_accDefaultAction));
    }
    HRESULT DoDefaultAction(long id) override {
        const SurfaceChild c = Classify(id);
        if (c.kind == SurfaceChild::Kind::Self && AsButton()) {
            RECT r{};
            ::GetClientRect(Hwnd(), &r);
            PostClick(Hwnd(), r);
            return S_OK;
        }
        if (c.kind == SurfaceChild::Kind::Item && Item(c).onClick && Item(c).visible) {
            PostClick(Hwnd(), Item(c).bounds);
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

// The title strip's panel of pictures: a pane whose pictures are push
// buttons, read left to right; "focused" is only on the picture the keyboard
// is on, and only while the panel has the focus.
class TitlePanelAccessible : public AccessibleBase {
public:
    explicit TitlePanelAccessible(HWND hwnd) : AccessibleBase(hwnd) {}

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        return Self() ? S_OK : RPC_E_DISCONNECTED;
    }
    TitlePanel* Self() { return dynamic_cast<TitlePanel*>(Window::FromHandle(Hwnd())); }
    const TitlePanel::Picture& Item(long id) { return Self()->Pictures().at(static_cast<std::size_t>(id - 1)); }

    long ChildCount() override { return static_cast<long>(Self()->Pictures().size()); }
    std::string Name(long id) override {
        if (id == CHILDID_SELF) return SurfaceName(*Self());
        return Item(id).name ? Item(id).name() : std::string();
    }
    long Role(long id) override {
        if (id == CHILDID_SELF) return ROLE_SYSTEM_PANE;
        return Item(id).onClick ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
    }
    long State(long id) override {
        // The keyboard is on one picture, not on the panel that holds them.
        const long state = WindowState(Hwnd()) & ~STATE_SYSTEM_FOCUSED;
        if (id == CHILDID_SELF) return state;
        const bool focused = Self()->HasFocus() && Self()->Current() == id - 1;
        return state | STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
    }
    std::optional<RECT> Location(long id) override {
        if (id == CHILDID_SELF) return ClientOnScreen(Hwnd());
        return ToScreen(Item(id).bounds);
    }
    std::string DefaultAction(long id) override {
        return id != CHILDID_SELF && Item(id).onClick ? kPressAction : "";
    }
    HRESULT DoDefaultAction(long id) override {
        if (id == CHILDID_SELF || !Item(id).onClick) return DISP_E_MEMBERNOTFOUND;
        PostClick(Hwnd(), Item(id).bounds);
        return S_OK;
    }
    HRESULT Focus(VARIANT* out) override {
        if (!Self()->HasFocus() || Self()->Pictures().empty()) return AccessibleBase::Focus(out);
        return ChildVariant(Self()->Current() + 1, out);
    }
};

}  // namespace

IAccessible* NewSurfaceAccessible(HWND surface) { return new SurfaceAccessible(surface); }

IAccessible* NewTitlePanelAccessible(HWND panel) { return new TitlePanelAccessible(panel); }

}  // namespace zelvane
