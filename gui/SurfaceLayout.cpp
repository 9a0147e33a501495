// Where a surface's child windows stand: each child's one box, given at 96
// DPI, placed at the surface's DPI and again whenever the surface is sized
// or moves to another DPI; and what else of a child follows the DPI.
#include "gui/Surface.h"

#include <algorithm>
#include <utility>

#include "base/Dpi.h"

namespace zelvane {

void Surface::AdoptChild(HWND child, const Box& at96) {
    children_.push_back({child, at96, kFixed, true});
    PlaceTextSizedLabels();
}

void Surface::SetChildBounds(HWND child, const Box& at96, unsigned follow) {
    const auto it = std::find_if(children_.begin(), children_.end(), [child](const Child& c) { return c.hwnd == child; });
    if (it == children_.end()) return;
    it->at96 = at96;
    it->follow = follow;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const Box b = Placed(*it, {client.right, client.bottom});
    ::SetWindowPos(child, nullptr, b.left, b.top, b.Width(), b.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void Surface::KeepAtDpi(HWND child, UINT what, std::function<void(int dpi)> apply) {
    apply(dpi_);
    keptAtDpi_[{child, what}] = std::move(apply);
}

Box Surface::Placed(const Child& c, SIZE client) const {
    // An edge that follows a side is scaled as a distance from that side.
    const Box fromOrigin = ScaleBox(c.at96, dpi_);
    const auto fromSide = [this](int edge96, int side96, int side) { return side - ScaleEdge(side96 - edge96, dpi_); };
    return {c.follow & kLeftFollows ? fromSide(c.at96.left, size96_.cx, client.cx) : fromOrigin.left,
            c.follow & kTopFollows ? fromSide(c.at96.top, size96_.cy, client.cy) : fromOrigin.top,
            c.follow & kRightFollows ? fromSide(c.at96.right, size96_.cx, client.cx) : fromOrigin.right,
            c.follow & kBottomFollows ? fromSide(c.at96.bottom, size96_.cy, client.cy) : fromOrigin.bottom};
}

void Surface::PlaceChildren(bool all, UINT flags) {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const auto placed = [all](const Child& c) { return (all || c.follow != kFixed) && ::IsWindow(c.hwnd); };
    const auto count = std::count_if(children_.begin(), children_.end(), placed);
    if (count == 0) return;
    // One batch for the children of this surface.
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(count));
    for (const Child& c : children_) {
        if (!batch || !placed(c)) continue;
        const Box b = Placed(c, {client.right, client.bottom});
        batch = ::DeferWindowPos(batch, c.hwnd, nullptr, b.left, b.top, b.Width(), b.Height(), flags);
    }
    if (batch) ::EndDeferWindowPos(batch);
}

void Surface::ApplyDpi(int dpi) {
    Window::ApplyDpi(dpi);
    MakeFonts();
    scaledImages_.clear();
    for (Label& l : labels_) PlaceLabel(l);
    // The controls take the font first, then every child its box, moved
    // without being drawn: the caller draws once.
    for (const Child& c : children_) {
        if (!c.ours && ::IsWindow(c.hwnd)) ::SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    PlaceChildren(true, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    for (const Child& c : children_) {
        if (Window* child = c.ours ? FromHandle(c.hwnd) : nullptr) child->ApplyDpi(dpi);
    }
    for (const auto& [key, apply] : keptAtDpi_) {
        if (::IsWindow(key.first)) apply(dpi);
    }
}

}  // namespace zelvane
