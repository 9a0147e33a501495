// Which drawn picture a DPI gets, over every DPI (tests/win32/pictures_test.cpp
// loads each size at the drawn scales and between).
#include <gtest/gtest.h>

#include <set>

#include "gui/PictureSizes.h"
#include "resources/resource.h"

namespace zelvane {
namespace {

TEST(PictureSizes, At96DpiThePicturesAreTheOriginalResources) {
    EXPECT_EQ(ChoosePicture(PictureKind::Toolbar, 96).resourceId, IDB_TOOLBAR);
    EXPECT_EQ(ChoosePicture(PictureKind::Gauge, 96).resourceId, IDB_GAUGE);
    EXPECT_EQ(ChoosePicture(PictureKind::TitleMin, 96).resourceId, IDB_TITLE_MIN);
    EXPECT_EQ(ChoosePicture(PictureKind::TitleMax, 96).resourceId, IDB_TITLE_MAX);
    EXPECT_EQ(ChoosePicture(PictureKind::Close, 96).resourceId, IDB_CLOSE);
    EXPECT_EQ(ChoosePicture(PictureKind::Gauge, 144).resourceId, IDB_GAUGE_24);
    EXPECT_EQ(ChoosePicture(PictureKind::Close, 192).resourceId, IDB_CLOSE_30);
}

// Over every DPI: the chosen drawing never exceeds the scaled size, never
// shrinks as the DPI grows, and each size has one resource of its own.
TEST(PictureSizes, NeverLargerThanTheScaledSizeAndGrowingWithTheDpi) {
    std::set<int> ids;
    for (PictureKind kind : kPictureKinds) {
        const int base = BasePictureSize(kind);
        int last = 0;
        std::set<int> sizes;
        for (int dpi = 96; dpi <= 480; ++dpi) {
            const PictureChoice c = ChoosePicture(kind, dpi);
            EXPECT_LE(c.size * 96, base * dpi) << dpi;
            EXPECT_GE(c.size, last) << dpi;
            last = c.size;
            if (sizes.insert(c.size).second) {
                EXPECT_TRUE(ids.insert(c.resourceId).second) << c.resourceId;
            }
        }
        EXPECT_EQ(sizes.size(), 4u);
    }
    EXPECT_EQ(ids.size(), 20u);
}

}  // namespace
}  // namespace zelvane
