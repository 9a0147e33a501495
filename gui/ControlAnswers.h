// What the program's own object answers for a standard control (a field, the
// check box, the drop-down list, a list, the status bar) on a system whose
// standard object reads the control as a bare client (Wine): the role, the
// states, the value and, for a list, one child per item. And what a reader is
// told when such a control changes. On a system whose standard object knows
// the control (Windows), that object answers and the system itself tells
// readers; none of this is used there.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>

namespace zelvane {

enum class ControlKind { Other, Edit, CheckBox, ComboBox, ListBox, StatusBar };
ControlKind KindOfControl(HWND control);

// The answers for `control` of kind `kind`; child ids are a list's items
// (index + 1). The control's own name is its owner's and not answered here.
namespace own {

long ChildCount(HWND control, ControlKind kind);
// An item's text ("" for the control itself).
std::string Name(HWND control, ControlKind kind, long id);
std::string Value(HWND control, ControlKind kind, long id);
long Role(ControlKind kind, long id);
long State(HWND control, ControlKind kind, long id);
// An item's place on the screen (the control itself: nothing here).
std::optional<RECT> Location(HWND control, ControlKind kind, long id);
std::string DefaultAction(HWND control, ControlKind kind, long id);
HRESULT DoDefaultAction(HWND control, ControlKind kind, long id);
// accSelect: the focus to the control; on a list's item the focus and the
// one selection.
HRESULT Select(HWND control, ControlKind kind, long flags, long id);
// The item with the focus while the list has it, or the list itself; the
// selected item. VT_EMPTY and S_FALSE for none.
HRESULT Focus(HWND control, ControlKind kind, VARIANT* out);
HRESULT Selection(HWND control, ControlKind kind, VARIANT* out);
// The item at a point on the screen, or the control.
HRESULT HitTest(HWND control, ControlKind kind, POINT screen, VARIANT* out);

}  // namespace own

// What readers were last told of a control: a check box's check, a list's or
// a drop-down list's selected item. Read through the control's own window
// procedure `original`, so that a subclass can look after every message.
struct ControlLook {
    LRESULT checked = 0;
    LRESULT selected = -1;
    friend bool operator==(const ControlLook&, const ControlLook&) = default;
};
ControlLook LookOf(HWND control, ControlKind kind, WNDPROC original);

// Tells readers what changed between `before` and `now`: a state change of
// the check box, a value change of the drop-down list, the selection (and,
// while the list has the keyboard focus, the focus) on a list's item.
void TellChange(HWND control, ControlKind kind, const ControlLook& before, const ControlLook& now);

}  // namespace zelvane
