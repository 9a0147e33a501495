// The client objects of our surfaces (forms and panels: their painted labels
// and pictures, then their child windows) and of our picture windows.
#include "gui/SurfaceAccessible.h"

#include <vector>

#include "base/AccessibleModel.h"
#include "gui/Accessible.h"
#include "gui/Controls.h"
#include "gui/Surface.h"
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
// centred caption, a framed window's title); a panel without one is part of
// its window and takes the window's name.
std::string SurfaceName(Window& window) {
    if (window.accessibleName) return window.accessibleName();
    const std::string own = SpokenText(WindowText(window.Handle()));
    if (!own.empty() || TopLevel(window.Handle())) return own;
    Window* top = Window::FromHandle(::GetAncestor(window.Handle(), GA_ROOT));
    return top && top != &window ? SurfaceName(*top) : std::string();
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
    SurfaceChild Classify(long id) {
        return ClassifySurfaceChild(id, static_cast<int>(Items().size()), static_cast<int>(ChildWindows(Hwnd()).size()));
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

// A picture in a window of its own (the title strips' buttons).
class PictureAccessible : public AccessibleBase {
public:
    explicit PictureAccessible(HWND hwnd) : AccessibleBase(hwnd) {}

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        return Self() ? S_OK : RPC_E_DISCONNECTED;
    }
    ImageControl* Self() { return dynamic_cast<ImageControl*>(Window::FromHandle(Hwnd())); }

    long ChildCount() override { return 0; }
    std::string Name(long) override { return Self()->accessibleName ? Self()->accessibleName() : std::string(); }
    long Role(long) override { return Self()->onClick ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC; }
    long State(long) override { return WindowState(Hwnd()); }
    std::optional<RECT> Location(long) override { return ClientOnScreen(Hwnd()); }
    std::string DefaultAction(long) override { return Self()->onClick ? kPressAction : ""; }
    HRESULT DoDefaultAction(long) override {
        if (!Self()->onClick) return DISP_E_MEMBERNOTFOUND;
        RECT r{};
        ::GetClientRect(Hwnd(), &r);
        PostClick(Hwnd(), r);
        return S_OK;
    }
};

}  // namespace

IAccessible* NewSurfaceAccessible(HWND surface) { return new SurfaceAccessible(surface); }

IAccessible* NewPictureAccessible(HWND picture) { return new PictureAccessible(picture); }

}  // namespace zelvane
