// The GUI kinds of handle owners: GDI objects by their own handle type, icons,
// menus, memory DCs and image lists, each counting its live objects (the
// template and the kernel kinds are in sys/Handles.h); and two scopes that
// give back what they borrowed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "sys/Handles.h"

namespace zelvane {

// GDI objects, each kind by its own handle type.
using Font = UniqueHandle<HandleTraits<HFONT, &::DeleteObject>>;
using Brush = UniqueHandle<HandleTraits<HBRUSH, &::DeleteObject>>;
using Bitmap = UniqueHandle<HandleTraits<HBITMAP, &::DeleteObject>>;
using Pen = UniqueHandle<HandleTraits<HPEN, &::DeleteObject>>;
using IconHandle = UniqueHandle<HandleTraits<HICON, &::DestroyIcon>>;
using MenuHandle = UniqueHandle<HandleTraits<HMENU, &::DestroyMenu>>;
using MemoryDc = UniqueHandle<HandleTraits<HDC, &::DeleteDC>>;
using ImageListHandle = UniqueHandle<HandleTraits<HIMAGELIST, &::ImageList_Destroy>>;

// A DC borrowed from a window with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() { if (dc_) ::ReleaseDC(hwnd_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { ::SelectObject(dc_, old_); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace zelvane
