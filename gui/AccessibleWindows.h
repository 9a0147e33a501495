// Which accessible object answers for which of our windows: the grid's table,
// a surface's painted items and child windows, a picture's button. Reached
// from the window base at WM_GETOBJECT.
#pragma once

#include <windows.h>

#include <optional>

#include "gui/Accessible.h"

namespace zelvane {

class Window;

// The answer to WM_GETOBJECT for `window`'s client area; nothing for an
// object id we do not serve (the system's default answers) or when the
// system cannot serve readers.
std::optional<LRESULT> AnswerGetObject(Window& window, WPARAM wp, LPARAM lp);

// The client object of `window`, or null for a kind of window that has none
// of ours.
IAccessible* NewClientObject(Window& window);

}  // namespace zelvane
