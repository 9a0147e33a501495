#include "gui/ControlAccessible.h"

#include <commctrl.h>

#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "base/AccessibleModel.h"
#include "gui/Accessible.h"
#include "gui/ControlAnswers.h"
#include "gui/Controls.h"
#include "gui/Window.h"
#include "sys/DynCalls.h"

namespace zelvane {

namespace {

// What a named control keeps: its own window procedure and its names; and,
// once a reader has asked, whether the system's standard object reads it as a
// bare client (then our object answers in full and tells readers about
// changes) and what they were last told.
struct ControlNames {
    WNDPROC original = nullptr;
    std::function<std::string()> name;
    std::function<std::string(int)> buttonName;  // tool bars only
    ControlKind kind = ControlKind::Other;
    enum class Standard { Unknown, Specific, Generic } standard = Standard::Unknown;
    ControlLook told;
    std::string toldName;
};

// The names of a control of ours, kept in its user data (a standard control
// leaves that to the program that made it), so that its window procedure
// finds them at every message without a look-up.
ControlNames* NamesOf(HWND control) {
    return reinterpret_cast<ControlNames*>(::GetWindowLongPtrW(control, GWLP_USERDATA));
}

class ControlAccessible : public AccessibleBase {
public:
    ControlAccessible(HWND control, IAccessible* standard) : AccessibleBase(control), standard_(standard) {}
    ~ControlAccessible() override {
        if (standard_) standard_->Release();
    }

protected:
    HRESULT Check() override {
        if (const HRESULT hr = AccessibleBase::Check(); FAILED(hr)) return hr;
        return NamesOf(Hwnd()) ? S_OK : RPC_E_DISCONNECTED;
    }
    ControlNames& Names() { return *NamesOf(Hwnd()); }
    bool IsToolBar() { return static_cast<bool>(Names().buttonName); }
    // Whether our answers stand in for a standard object that reads the
    // control as a bare client.
    bool Own() { return Names().standard == ControlNames::Standard::Generic && Names().kind != ControlKind::Other; }
    ControlKind Kind() { return Names().kind; }

    // The tool bar's buttons: which are separators, and button `index`.
    std::vector<bool> Separators() {
        const int count = static_cast<int>(::SendMessageW(Hwnd(), TB_BUTTONCOUNT, 0, 0));
        std::vector<bool> separators;
        for (int i = 0; i < count; ++i) separators.push_back((Button(i).fsStyle & BTNS_SEP) != 0);
        return separators;
    }
    TBBUTTON Button(int index) {
        TBBUTTON tb{};
        ::SendMessageW(Hwnd(), TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb));
        return tb;
    }
    int ButtonIndex(long id) { return ToolButtonOfChild(id, Separators()).value_or(-1); }

    long ChildCount() override {
        if (IsToolBar()) return ToolButtonChildCount(Separators());
        if (Own()) return own::ChildCount(Hwnd(), Kind());
        LONG count = 0;
        standard_->get_accChildCount(&count);
        return count;
    }
    HRESULT Child(long id, IDispatch** object) override {
        if (IsToolBar() || Own()) return AccessibleBase::Child(id, object);
        return standard_->get_accChild(ChildIdOf(id), object);
    }
    HRESULT Parent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    std::string StandardText(long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
        BSTR text = nullptr;
        (standard_->*get)(ChildIdOf(id), &text);
        return TakeBstr(text);
    }
    std::string Name(long id) override {
        if (id == kChildSelf) return Names().name ? Names().name() : StandardText(id, &IAccessible::get_accName);
        if (IsToolBar()) return Names().buttonName(Button(ButtonIndex(id)).idCommand);
        if (Own()) return own::Name(Hwnd(), Kind(), id);
        return StandardText(id, &IAccessible::get_accName);
    }
    std::string Value(long id) override {
        if (IsToolBar() && id != kChildSelf) return {};
        if (Own()) return own::Value(Hwnd(), Kind(), id);
        std::string value = StandardText(id, &IAccessible::get_accValue);
        // A field's value is its text, also where the standard object
        // leaves it out.
        if (value.empty() && id == kChildSelf && IsEdit()) value = WindowText(Hwnd());
        return value;
    }
    bool IsEdit() {
        wchar_t name[16] = {};
        ::GetClassNameW(Hwnd(), name, 16);
        return ::lstrcmpiW(name, L"Edit") == 0;
    }
    std::string Description(long id) override {
        if ((IsToolBar() || Own()) && id != kChildSelf) return {};
        return StandardText(id, &IAccessible::get_accDescription);
    }
    long StandardNumber(long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
        VARIANT v;
        V_VT(&v) = VT_EMPTY;
        (standard_->*get)(ChildIdOf(id), &v);
        const long n = V_VT(&v) == VT_I4 ? V_I4(&v) : 0;
        ClearVariant(&v);
        return n;
    }
    long Role(long id) override {
        if (IsToolBar()) return id == kChildSelf ? ROLE_SYSTEM_TOOLBAR : ROLE_SYSTEM_PUSHBUTTON;
        if (Own()) return own::Role(Kind(), id);
        const long role = StandardNumber(id, &IAccessible::get_accRole);
        return role ? role : ROLE_SYSTEM_CLIENT;
    }
    long State(long id) override {
        if (Own()) return own::State(Hwnd(), Kind(), id);
        if (!IsToolBar() || id == kChildSelf) return StandardNumber(id, &IAccessible::get_accState);
        const TBBUTTON tb = Button(ButtonIndex(id));
        long state = 0;
        if (tb.fsState & TBSTATE_CHECKED) state |= STATE_SYSTEM_PRESSED;
        if (!(tb.fsState & TBSTATE_ENABLED)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (FocusedToolButton(Hwnd()) == ButtonIndex(id)) state |= STATE_SYSTEM_FOCUSED;
        if ((tb.fsState & TBSTATE_HIDDEN) || !::IsWindowVisible(Hwnd())) state |= STATE_SYSTEM_INVISIBLE;
        return state;
    }
    std::optional<RECT> Location(long id) override {
        if (IsToolBar() && id != kChildSelf) {
            RECT r{};
            ::SendMessageW(Hwnd(), TB_GETITEMRECT, static_cast<WPARAM>(ButtonIndex(id)), reinterpret_cast<LPARAM>(&r));
            return ToScreen(r);
        }
        if (Own() && id != kChildSelf) return own::Location(Hwnd(), Kind(), id);
        LONG x = 0, y = 0, w = 0, h = 0;
        if (standard_->accLocation(&x, &y, &w, &h, ChildIdOf(id)) != S_OK) return std::nullopt;
        return RECT{x, y, x + w, y + h};
    }
    std::string DefaultAction(long id) override {
        if (IsToolBar() && id != kChildSelf) return kPressAction;
        if (Own()) return own::DefaultAction(Hwnd(), Kind(), id);
        return StandardText(id, &IAccessible::get_accDefaultAction);
    }
    HRESULT DoDefaultAction(long id) override {
        if (Own()) return own::DoDefaultAction(Hwnd(), Kind(), id);
        if (!IsToolBar() || id == kChildSelf) return standard_->accDoDefaultAction(ChildIdOf(id));
        return ClickButton(Button(ButtonIndex(id)));
    }
    // What a click does: a toggle flips, then the command goes to the bar's
    // owner (posted, so that what it opens does not hold the reader's call).
    HRESULT ClickButton(const TBBUTTON& tb) {
        if (!(tb.fsState & TBSTATE_ENABLED)) return E_FAIL;
        if (tb.fsStyle & BTNS_CHECK) {
            ::SendMessageW(Hwnd(), TB_CHECKBUTTON, static_cast<WPARAM>(tb.idCommand),
                           MAKELPARAM((tb.fsState & TBSTATE_CHECKED) ? FALSE : TRUE, 0));
        }
        ::PostMessageW(::GetParent(Hwnd()), WM_COMMAND, MAKEWPARAM(tb.idCommand, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Hwnd()));
        return S_OK;
    }
    HRESULT Select(long flags, long id) override {
        if (IsToolBar()) return AccessibleBase::Select(flags, id);
        if (Own()) return own::Select(Hwnd(), Kind(), flags, id);
        return standard_->accSelect(flags, ChildIdOf(id));
    }
    HRESULT Focus(VARIANT* out) override {
        if (Own()) return own::Focus(Hwnd(), Kind(), out);
        return IsToolBar() ? AccessibleBase::Focus(out) : standard_->get_accFocus(out);
    }
    HRESULT Selection(VARIANT* out) override {
        if (Own()) return own::Selection(Hwnd(), Kind(), out);
        return IsToolBar() ? AccessibleBase::Selection(out) : standard_->get_accSelection(out);
    }
    HRESULT HitTest(POINT screen, VARIANT* out) override {
        if (Own()) return own::HitTest(Hwnd(), Kind(), screen, out);
        return IsToolBar() ? AccessibleBase::HitTest(screen, out) : standard_->accHitTest(screen.x, screen.y, out);
    }
    HRESULT Navigate(long direction, long start, VARIANT* out) override {
        // A list's items are ours; from the list itself to its siblings
        // the standard object knows the way.
        const bool intoItems = Own() && Kind() == ControlKind::ListBox &&
                               (start != kChildSelf || direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD);
        if (IsToolBar() || intoItems) return AccessibleBase::Navigate(direction, start, out);
        return standard_->accNavigate(direction, ChildIdOf(start), out);
    }

private:
    IAccessible* standard_;
};

// The system's standard object of the control's client area (null when
// there is none).
IAccessible* StandardObject(HWND control) {
    const auto create = dyn::CreateStdAccessibleObject();
    IAccessible* standard = nullptr;
    if (!create || FAILED(create(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard)))) {
        return nullptr;
    }
    return standard;
}

// Decides, once, whether the system's standard object reads the control as a
// bare client: a standard object that knows the control gives it a role of
// its own. From then on the look of a generic one is watched. `standard` is
// the control's standard object, or null to make one here.
void JudgeStandard(HWND control, ControlNames& names, IAccessible* standard) {
    if (names.standard != ControlNames::Standard::Unknown) return;
    // Messages the system sends while it makes the object find it judged.
    names.standard = ControlNames::Standard::Specific;
    IAccessible* made = standard ? nullptr : StandardObject(control);
    IAccessible* asked = standard ? standard : made;
    VARIANT role;
    V_VT(&role) = VT_EMPTY;
    if (asked) asked->get_accRole(ChildIdOf(CHILDID_SELF), &role);
    const bool generic = asked && (V_VT(&role) != VT_I4 || V_I4(&role) == ROLE_SYSTEM_CLIENT);
    ClearVariant(&role);
    if (made) made->Release();
    if (generic) names.standard = ControlNames::Standard::Generic;
    names.told = LookOf(control, names.kind, names.original);
}

std::optional<LRESULT> AnswerControl(HWND control, ControlNames& names, WPARAM wp, LPARAM lp) {
    return AnswerClientObject(wp, lp, [control, &names]() -> IAccessible* {
        IAccessible* standard = StandardObject(control);
        if (!standard) return nullptr;
        JudgeStandard(control, names, standard);
        auto* object = new (std::nothrow) ControlAccessible(control, standard);
        if (!object) standard->Release();
        return object;
    });
}

// Whether the control's check or selection is watched for readers.
bool Watched(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::ComboBox || kind == ControlKind::ListBox;
}

// Before a message: once readers have come, the standard object of a watched
// control is judged, so that what this very message changes is told.
void JudgeOnceReadersCame(HWND control, ControlNames& names) {
    if (Watched(names.kind) && names.standard == ControlNames::Standard::Unknown && AccessibilityStarted()) {
        JudgeStandard(control, names, nullptr);
    }
}

// After a message: tells readers what changed. The status bar's name is the
// text it shows, ours on every system; the other changes are told only where
// the system's standard object reads the control as a bare client (elsewhere
// the system tells them).
void TellReaders(HWND control, ControlNames& names, UINT msg) {
    if (names.kind == ControlKind::StatusBar && (msg == SB_SETTEXTW || msg == SB_SETTEXTA) && names.name) {
        std::string now = names.name();
        if (now != names.toldName) {
            names.toldName = std::move(now);
            NotifyAccessibleEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
        }
        return;
    }
    if (!Watched(names.kind) || names.standard != ControlNames::Standard::Generic) return;
    const ControlLook now = LookOf(control, names.kind, names.original);
    const ControlLook before = names.told;
    names.told = now;
    TellChange(control, names.kind, before, now);
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
    ControlNames* names = NamesOf(control);
    if (!names) return ::DefWindowProcW(control, msg, wp, lp);
    const WNDPROC original = names->original;
    if (msg == WM_GETOBJECT) {
        if (const auto answer = AnswerControl(control, *names, wp, lp)) return *answer;
    } else if (msg == WM_NCDESTROY) {
        DisconnectAccessibleObjects(control);
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::SetWindowLongPtrW(control, GWLP_USERDATA, 0);
        delete names;
        return ::CallWindowProcW(original, control, msg, wp, lp);
    }
    // What readers are told is no reason for an error box: without memory
    // for it they are not told.
    try {
        JudgeOnceReadersCame(control, *names);
    } catch (const std::bad_alloc&) {
    }
    const LRESULT result = ::CallWindowProcW(original, control, msg, wp, lp);
    // The names may have gone with a destroyed window meanwhile.
    try {
        if (ControlNames* still = NamesOf(control)) TellReaders(control, *still, msg);
    } catch (const std::bad_alloc&) {
    }
    return result;
}

void Attach(HWND control, std::function<std::string()> name, std::function<std::string(int)> buttonName) {
    if (!control) return;
    if (ControlNames* existing = NamesOf(control)) {
        existing->name = std::move(name);
        existing->buttonName = std::move(buttonName);
        return;
    }
    auto* kept = new ControlNames;
    kept->name = std::move(name);
    kept->buttonName = std::move(buttonName);
    kept->kind = KindOfControl(control);
    ::SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(kept));
    kept->original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedControlProc)));
}

}  // namespace

void NameControl(HWND control, std::function<std::string()> name) { Attach(control, std::move(name), {}); }

void NameToolBar(HWND toolBar, std::function<std::string()> name, std::function<std::string(int)> buttonName) {
    Attach(toolBar, std::move(name), std::move(buttonName));
}

}  // namespace zelvane
