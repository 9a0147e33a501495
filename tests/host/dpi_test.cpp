#include "base/Dpi.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zelvane {
namespace {

const int kDpis[] = {96, 120, 144, 168, 192};

TEST(Dpi, EdgesRoundToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(ScaleEdge(626, 96), 626);
    EXPECT_EQ(ScaleEdge(626, 144), 939);
    EXPECT_EQ(ScaleEdge(626, 192), 1252);
    EXPECT_EQ(ScaleEdge(460, 192), 920);
    // 5 × 1.25 = 6.25 → 6; 2 × 1.25 = 2.5 → 3; 1 × 1.75 = 1.75 → 2; 3 × 1.75 = 5.25 → 5.
    EXPECT_EQ(ScaleEdge(5, 120), 6);
    EXPECT_EQ(ScaleEdge(2, 120), 3);
    EXPECT_EQ(ScaleEdge(1, 168), 2);
    EXPECT_EQ(ScaleEdge(3, 168), 5);
    EXPECT_EQ(ScaleEdge(-2, 120), -3);  // a coordinate left of the origin mirrors one right of it
    for (int dpi : kDpis) {
        for (int v = -400; v <= 2000; ++v) {
            // Within half a pixel of the exact value, and at 96 DPI the value itself.
            const double exact = v * dpi / 96.0;
            EXPECT_LE(std::abs(ScaleEdge(v, dpi) - exact), 0.5) << v << " at " << dpi;
            if (dpi == 96) EXPECT_EQ(ScaleEdge(v, dpi), v);
            if (v > -400) EXPECT_GE(ScaleEdge(v, dpi), ScaleEdge(v - 1, dpi)) << "monotonic";
        }
    }
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

}  // namespace
}  // namespace zelvane
