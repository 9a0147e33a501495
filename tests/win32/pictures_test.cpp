// The pictures drawn for each display scale: every kind loads at every DPI in
// the size drawn for it, with its image count and its mask colour; the strips
// make masked image lists with icons of their own; the application icon
// carries its customary sizes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "base/Error.h"
#include "gui/ImageList.h"
#include "gui/Pictures.h"
#include "resources/resource.h"

namespace zelvane {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The colours of a picture, read through a memory DC (the drawn sizes are
// stored with colour tables, the 96-DPI pictures with 24 bits a pixel).
class Pixels {
public:
    explicit Pixels(HBITMAP bitmap) : dc_(::CreateCompatibleDC(nullptr)), select_(dc_.Get(), bitmap) {}
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.Get(), x, y); }
    bool AllOf(int left, int size, COLORREF colour) const {
        for (int y = 0; y < size; ++y)
            for (int x = left; x < left + size; ++x)
                if (At(x, y) != colour) return false;
        return true;
    }

private:
    MemoryDc dc_;
    SelectObjectScope select_;
};

// Image `index` of the list drawn over white: which of its n x n pixels it
// covers, row by row (the mask colour must not show).
std::vector<bool> CoveredOverWhite(const ImageList& list, int index, int n) {
    WindowDc screen(nullptr);
    MemoryDc dc(::CreateCompatibleDC(screen.Get()));
    Bitmap canvas(::CreateCompatibleBitmap(screen.Get(), n, n));
    SelectObjectScope select(dc.Get(), canvas.Get());
    const RECT all{0, 0, n, n};
    ::FillRect(dc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ImageList_Draw(list.Handle(), index, dc.Get(), 0, 0, ILD_NORMAL);
    std::vector<bool> covered;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) covered.push_back(::GetPixel(dc.Get(), x, y) != kWhite);
    return covered;
}

int ImagesOf(PictureKind kind) {
    switch (kind) {
    case PictureKind::Toolbar: return ZELVANE_TOOLBAR_IMAGES;
    case PictureKind::Gauge: return ZELVANE_GAUGE_IMAGES;
    default: return 1;
    }
}

TEST(Pictures, EveryKindLoadsAtEveryDpiInTheSizeDrawnForItWithItsMask) {
    const struct {
        int dpi;
        int strip;  // tool bar and gauge cell
        int title;  // title pictures
    } cases[] = {
        {96, 16, 15},  {120, 20, 18}, {144, 24, 22}, {192, 32, 30},  // the drawn scales
        {72, 16, 15},  {0, 16, 15},   {-96, 16, 15},                 // below 100 %: the 96-DPI picture
        {119, 16, 18}, {168, 24, 22}, {191, 24, 22}, {288, 32, 30},  // between and above: the smaller one
    };
    for (const auto& c : cases) {
        for (PictureKind kind : kPictureKinds) {
            SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind) << " at " << c.dpi << " DPI");
            const bool strip = kind == PictureKind::Toolbar || kind == PictureKind::Gauge;
            const Picture picture = LoadPicture(kind, c.dpi);
            const int n = picture.size;
            EXPECT_EQ(n, strip ? c.strip : c.title);
            BITMAP bm{};
            ASSERT_TRUE(::GetObjectW(picture.bitmap.Get(), sizeof bm, &bm));
            EXPECT_NE(bm.bmBits, nullptr);  // a DIB section, as before
            EXPECT_EQ(bm.bmWidth, ImagesOf(kind) * n);
            EXPECT_EQ(bm.bmHeight, n);
            const Pixels pixels(picture.bitmap.Get());
            if (strip) {
                EXPECT_EQ(pixels.At(0, 0), kMagenta);
                if (kind == PictureKind::Gauge) {
                    EXPECT_TRUE(pixels.AllOf(12 * n, n, kMagenta));                // the blank image
                    EXPECT_NE(pixels.At(n / 2, n / 2), RGB(255, 0, 0));            // empty
                    EXPECT_EQ(pixels.At(11 * n + n / 2, n / 2), RGB(255, 0, 0));  // full: red
                    EXPECT_EQ(pixels.At(11 * n + n / 2, n - 1), RGB(128, 128, 128));
                }
            } else {
                EXPECT_EQ(pixels.At(0, n - 1), kWhite);  // the transparent colour
                EXPECT_NE(pixels.At(n / 2, n / 2), kWhite);
            }
        }
    }
}

// The strips slice into image lists whose masks hide the magenta ground.
TEST(Pictures, StripsOfEveryScaleMakeMaskedImageLists) {
    for (PictureKind kind : {PictureKind::Toolbar, PictureKind::Gauge}) {
        for (int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE(dpi);
            const ImageList list = DrawnImageList(kind, dpi);
            const int n = ChoosePicture(kind, dpi).size;
            ASSERT_EQ(list.Count(), ImagesOf(kind));
            const int solid = kind == PictureKind::Toolbar ? 2 : 0;  // the kill cross, the empty gauge
            const std::vector<bool> covered = CoveredOverWhite(list, solid, n);
            EXPECT_FALSE(covered[0]);
            EXPECT_TRUE(covered[n / 2 * n + n / 2]);
            if (kind == PictureKind::Gauge) {
                // A gauge covers most of its square; the blank image nothing.
                EXPECT_GT(std::count(covered.begin(), covered.end(), true) * 256, 100 * n * n);
                const std::vector<bool> blank = CoveredOverWhite(list, 12, n);
                EXPECT_EQ(std::count(blank.begin(), blank.end(), true), 0);
            }
        }
    }
}

TEST(Pictures, IconsOfAListAreNewOwnedHandles) {
    const ImageList gauge =
        ImageList::FromResource(::GetModuleHandleW(nullptr), IDB_GAUGE, ZELVANE_STRIP_CELL, ZELVANE_MASK_COLOR);
    EXPECT_EQ(gauge.Count(), ZELVANE_GAUGE_IMAGES);
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

TEST(Pictures, TheApplicationIconHasItsCustomarySizes) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC group = ::FindResourceW(module, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(module, group)));
    ASSERT_NE(dir, nullptr);
    // The group's header (reserved, type, count) then 14-byte entries: width
    // and height (0 for 256) first.
    const int count = dir[4] | dir[5] << 8;
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const BYTE* e = dir + 6 + 14 * i;
        EXPECT_EQ(e[0], e[1]);
        sizes.insert(e[0] ? e[0] : 256);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));

    for (int n : sizes) {
        SCOPED_TRACE(n);
        const IconHandle icon(static_cast<HICON>(
            ::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, n, n, LR_DEFAULTCOLOR)));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
        const Bitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        ASSERT_TRUE(::GetObjectW(colour.Get(), sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, n);
        EXPECT_EQ(bm.bmHeight, n);
    }
}

}  // namespace
}  // namespace zelvane
