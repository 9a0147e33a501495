#include "base/Dpi.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zelvane {
namespace {

const int kDpis[] = {96, 120, 144, 168, 192};

TEST(Dpi, EdgesRoundToTheNearestPixelWithHalvesAwayFromZeroBothWays) {
    // Halves: 2 × 1.25 = 2.5 → 3, and a coordinate left of the origin mirrors
    // one right of it.
    EXPECT_EQ(ScaleEdge(2, 120), 3);
    EXPECT_EQ(ScaleEdge(-2, 120), -3);
    for (int dpi : kDpis) {
        for (int v = -400; v <= 2000; ++v) {
            // Within half a pixel of the exact value (so 5 × 1.25 = 6.25 → 6 and
            // 626 → 939 at 144 DPI), and at 96 DPI the value itself.
            const double exact = v * dpi / 96.0;
            EXPECT_LE(std::abs(ScaleEdge(v, dpi) - exact), 0.5) << v << " at " << dpi;
            if (dpi == 96) {
                EXPECT_EQ(ScaleEdge(v, dpi), v);
            }
            if (v > -400) {
                EXPECT_GE(ScaleEdge(v, dpi), ScaleEdge(v - 1, dpi)) << "monotonic";
            }
            // Unscaling takes a scaled edge back to where it was.
            EXPECT_EQ(UnscaleEdge(ScaleEdge(v, dpi), dpi), v) << v << " at " << dpi;
        }
    }
    // The same rule the other way: 0.67 → 1, 1.5 → 2, -1.5 → -2, 2.25 → 2.
    EXPECT_EQ(1, UnscaleEdge(1, 144));
    EXPECT_EQ(2, UnscaleEdge(3, 192));
    EXPECT_EQ(-2, UnscaleEdge(-3, 192));
    EXPECT_EQ(2, UnscaleEdge(3, 128));
}

TEST(Dpi, BoxesThatTouchAt96DpiTouchAtEveryScale) {
    for (int dpi : kDpis) {
        // Three boxes in a row, 23 + 37 + 41 pixels wide from x = 5.
        const Box a = ScaleBox(5, 7, 23, 11, dpi), b = ScaleBox(28, 7, 37, 11, dpi), c = ScaleBox(65, 7, 41, 11, dpi);
        EXPECT_EQ(a.right, b.left) << dpi;
        EXPECT_EQ(b.right, c.left) << dpi;
        EXPECT_EQ(c.right - a.left, ScaleEdge(106, dpi) - ScaleEdge(5, dpi)) << dpi;
        EXPECT_EQ(a.Height(), b.Height()) << dpi;
    }
}

TEST(Dpi, FontsAreNeverTallerThanTheirScaledHeight) {
    EXPECT_EQ(11, ScaleFontHeight(11, 96));
    EXPECT_EQ(13, ScaleFontHeight(11, 120));  // 13.75
    EXPECT_EQ(16, ScaleFontHeight(11, 144));  // 16.5, where an edge would round to 17
    EXPECT_EQ(22, ScaleFontHeight(11, 192));
}

TEST(Dpi, ARasterFaceTakesItsTallestSizeThatFitsAndIsNeverStretched) {
    // Wine's "MS Sans Serif" for 120 DPI: cells of 16 and 20 pixels, letters
    // of 13 and 17.
    const std::vector<FixedSize> sizes{{20, 17}, {16, 13}};
    EXPECT_EQ(20, FixedSizeCell(sizes, 20, 16));  // 150 %: 16.5 asked, rounded down
    EXPECT_EQ(16, FixedSizeCell(sizes, 20, 15));  // letters of 17 would not fit
    EXPECT_EQ(16, FixedSizeCell(sizes, 16, 13));  // 125 %
    EXPECT_EQ(20, FixedSizeCell(sizes, 40, 44));  // 20 doubled: the tallest size instead
    EXPECT_EQ(20, FixedSizeCell(sizes, 32, 27));  // 16 doubled
    EXPECT_EQ(0, FixedSizeCell(sizes, 16, 11));   // 96 DPI asked of these sizes: none fits
    EXPECT_EQ(13, FixedSizeCell({}, 13, 11));     // sizes unknown: as chosen
}

TEST(Dpi, ADpiFromOutsideIsTakenOnlyInTheSaneRangeWithBoundsThatAScreenCanHold) {
    EXPECT_FALSE(SaneDpi(0));
    EXPECT_FALSE(SaneDpi(47));
    EXPECT_TRUE(SaneDpi(48));
    EXPECT_TRUE(SaneDpi(960));
    EXPECT_FALSE(SaneDpi(961));
    EXPECT_FALSE(SaneDpi(0xFFFF));
    EXPECT_TRUE(SaneBounds({10, 20, 949, 710}));
    EXPECT_TRUE(SaneBounds({-1920, -200, -100, 400}));  // a screen left of the primary one
    EXPECT_FALSE(SaneBounds({10, 20, 10, 710}));        // empty
    EXPECT_FALSE(SaneBounds({10, 20, 5, 710}));         // inside out
    EXPECT_FALSE(SaneBounds({0, 0, 100000, 100}));
    EXPECT_FALSE(SaneBounds({-2147483647, 0, 100, 100}));  // a width that overflows
}

TEST(Dpi, BoundsWorkedOutByTheWindowKeepTheCornerAndScaleTheSizeBothWays) {
    const Box main{100, 50, 100 + 626, 50 + 460};
    const Box at144 = RescaledBounds(main, 96, 144);
    EXPECT_EQ(100, at144.left);
    EXPECT_EQ(50, at144.top);
    EXPECT_EQ(939, at144.Width());
    EXPECT_EQ(690, at144.Height());
    const Box back = RescaledBounds(at144, 144, 96);
    EXPECT_EQ(626, back.Width());
    EXPECT_EQ(460, back.Height());
    EXPECT_EQ(1252, RescaledBounds(main, 96, 192).Width());
}

}  // namespace
}  // namespace zelvane
