// ImageList from the program's bitmap strips: counts, icons, and the mask.
#include <gtest/gtest.h>

#include "base/Error.h"
#include "gui/ImageList.h"
#include "resources/resource.h"

namespace zelvane {
namespace {

ImageList Load(int id) {
    return ImageList::FromResource(::GetModuleHandleW(nullptr), id, ZELVANE_STRIP_CELL, ZELVANE_MASK_COLOR);
}

// Draws image `index` over white and counts the pixels that are not white.
int CoveredPixels(const ImageList& list, int index) {
    WindowDc screen(nullptr);
    MemoryDc dc(::CreateCompatibleDC(screen.Get()));
    Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), 16, 16));
    SelectObjectScope select(dc.Get(), bitmap.Get());
    const RECT all{0, 0, 16, 16};
    ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ImageList_Draw(list.Handle(), index, dc.Get(), 0, 0, ILD_NORMAL);
    int covered = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) covered += ::GetPixel(dc.Get(), x, y) != RGB(255, 255, 255);
    return covered;
}

TEST(ImageList, SlicesTheStripsWithTheirMasks) {
    const ImageList gauge = Load(IDB_GAUGE);
    EXPECT_EQ(gauge.Count(), ZELVANE_GAUGE_IMAGES);
    EXPECT_EQ(Load(IDB_TOOLBAR).Count(), ZELVANE_TOOLBAR_IMAGES);
    EXPECT_EQ(CoveredPixels(gauge, 12), 0);   // the blank image is all mask
    EXPECT_GT(CoveredPixels(gauge, 0), 100);  // a gauge covers most of its square
    EXPECT_THROW(Load(9999), Error);
}

TEST(ImageList, IconsAreNewOwnedHandles) {
    const ImageList gauge = Load(IDB_GAUGE);
    const long before = IconHandle::LiveCount();
    {
        IconHandle a = gauge.Icon(0);
        IconHandle b = gauge.Icon(11);
        EXPECT_TRUE(a && b);
        EXPECT_NE(a.Get(), b.Get());
        EXPECT_EQ(IconHandle::LiveCount(), before + 2);
    }
    EXPECT_EQ(IconHandle::LiveCount(), before);
    EXPECT_THROW(gauge.Icon(13), Error);
    EXPECT_THROW(gauge.Icon(-1), Error);
}

}  // namespace
}  // namespace zelvane
