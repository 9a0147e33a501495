// The GUI kinds of handle owners: GDI objects by their own handle type, icons,
// menus, memory DCs and image lists, each counting its live objects (the
// template and the kernel kinds are in sys/Handles.h); and two scopes that
// give back what they borrowed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "sys/Handles.h"

namespace zelvane {

// A GDI object of handle type `H` (HFONT, HBRUSH, HBITMAP, HPEN), deleted with
// DeleteObject.
template <typename H>
struct GdiTraits {
    using Type = H;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
struct ImageListTraits {
    using Type = HIMAGELIST;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::ImageList_Destroy(h); }
};

using Font = UniqueHandle<GdiTraits<HFONT>>;
using Brush = UniqueHandle<GdiTraits<HBRUSH>>;
using Bitmap = UniqueHandle<GdiTraits<HBITMAP>>;
using Pen = UniqueHandle<GdiTraits<HPEN>>;
using IconHandle = UniqueHandle<IconTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using ImageListHandle = UniqueHandle<ImageListTraits>;

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
