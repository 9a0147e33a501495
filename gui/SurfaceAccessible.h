// The screen readers' objects of a surface (its painted labels and pictures,
// then its child windows) and of a title strip's panel of pictures; made at a
// reader's request by the window they answer for.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace zelvane {

IAccessible* NewSurfaceAccessible(HWND surface);
IAccessible* NewTitlePanelAccessible(HWND panel);

}  // namespace zelvane
