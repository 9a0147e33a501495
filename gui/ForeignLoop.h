// The loops that are not the program's own, and the messages that must not
// come through any loop's queue.
#pragma once

#include <windows.h>

namespace zelvane {

// Messages that the system and screen readers send and wait for, never post:
// a WM_DPICHANGED from the queue carries a pointer that is not ours to read,
// and a queued WM_GETOBJECT has nobody to take the object it would make.
bool OnlyEverSent(UINT message);

// While a loop that is not the program's own runs (a menu's, a message box's,
// a common dialog's, the system's move loop), the thread's queue hands out
// WM_DPICHANGED and WM_GETOBJECT as WM_NULL. The system and screen readers
// send these, never post them: one that comes through the queue was posted by
// another program, with a pointer that is not ours to read or nobody to take
// the object it asks for (the program's own loop drops them too).
// Scopes may nest; the filter is set while any is open. Opening one makes
// every form forget the keys pressed so far (Form::ForgetPressedKeys): a
// release that comes after the loop belongs to a press the loop took.
class ForeignLoopScope {
public:
    ForeignLoopScope();
    ~ForeignLoopScope();
    ForeignLoopScope(const ForeignLoopScope&) = delete;
    ForeignLoopScope& operator=(const ForeignLoopScope&) = delete;
};

}  // namespace zelvane
