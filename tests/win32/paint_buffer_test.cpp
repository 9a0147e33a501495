// The off-screen bitmap shared by the program's paints: each use starts from a
// clean DC with room for what it asked, a paint inside a paint gets its own,
// and repeated use makes no new GDI objects.
#include <gtest/gtest.h>

#include <windows.h>

#include "gui/PaintBuffer.h"

namespace zelvane {
namespace {

// The screen's DC, as the windows' DCs are compatible with it.
HDC Screen() {
    static const HDC screen = ::GetDC(nullptr);
    return screen;
}

SIZE BitmapSize(HDC dc) {
    BITMAP bm{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

TEST(PaintBuffer, EachUseStartsCleanWithRoomEnoughAndNestedUsesAreSeparate) {
    HDC shared = nullptr;
    {
        PaintBuffer small(Screen(), 420, 13);
        shared = small.Dc();
        const SIZE size = BitmapSize(shared);
        EXPECT_GE(size.cx, 420);
        EXPECT_GE(size.cy, 13);
        // What one paint leaves in the DC does not reach the next.
        ::SetTextColor(shared, RGB(1, 2, 3));
        ::SetBkMode(shared, TRANSPARENT);
        ::SetViewportOrgEx(shared, -50, -7, nullptr);
        ::IntersectClipRect(shared, 0, 0, 1, 1);
        {
            PaintBuffer nested(Screen(), 10, 10);
            EXPECT_NE(shared, nested.Dc());
        }
    }
    PaintBuffer again(Screen(), 100, 18);
    ASSERT_EQ(shared, again.Dc());
    EXPECT_EQ(RGB(0, 0, 0), ::GetTextColor(again.Dc()));
    EXPECT_EQ(OPAQUE, ::GetBkMode(again.Dc()));
    POINT origin{};
    ::GetViewportOrgEx(again.Dc(), &origin);
    EXPECT_EQ(0, origin.x);
    HRGN clip = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, ::GetClipRgn(again.Dc(), clip));  // no clipping region left
    ::DeleteObject(clip);
    const SIZE size = BitmapSize(again.Dc());
    EXPECT_GE(size.cx, 420);
    EXPECT_GE(size.cy, 18);
}

TEST(PaintBuffer, AWholeWindowPaintGetsItsOwnBitmapAndNothingIsLeftBehind) {
    const long before = Bitmap::LiveCount() + MemoryDc::LiveCount();
    for (int i = 0; i < 50; ++i) {
        PaintBuffer large(Screen(), 1024, 768);
        const SIZE size = BitmapSize(large.Dc());
        EXPECT_GE(size.cx, 1024);
        EXPECT_GE(size.cy, 768);
        PaintBuffer small(Screen(), 400, 16);
    }
    PaintBuffer small(Screen(), 400, 16);
    const SIZE kept = BitmapSize(small.Dc());
    EXPECT_LT(static_cast<long long>(kept.cx) * kept.cy, 1024LL * 768);  // the large one was not kept
    // At most the kept DC and bitmap were made (by the first use in this run).
    EXPECT_LE(Bitmap::LiveCount() + MemoryDc::LiveCount(), before + 2);
}

}  // namespace
}  // namespace zelvane
