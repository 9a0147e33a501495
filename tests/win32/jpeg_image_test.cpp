// The about picture embedded in the executable becomes a 64 x 74 bitmap; a
// damaged one is an error that leaves no GDI object behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/Error.h"
#include "gui/JpegImage.h"
#include "resources/resource.h"

namespace zelvane {
namespace {

std::vector<std::uint8_t> EmbeddedPicture() {
    HRSRC info = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_ABOUT_JPEG), RT_RCDATA);
    if (!info) return {};
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, info)));
    return {data, data + ::SizeofResource(nullptr, info)};
}

TEST(JpegImage, EmbeddedAboutPictureLoadsAsA32BitDib) {
    const long before = Bitmap::LiveCount();
    {
        Bitmap bitmap = LoadJpegResource(nullptr, IDR_ABOUT_JPEG);
        ASSERT_TRUE(bitmap);
        DIBSECTION dib{};
        ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmWidth, 64);
        EXPECT_EQ(dib.dsBm.bmHeight, 74);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
        ASSERT_NE(dib.dsBm.bmBits, nullptr);

        // Top-down B, G, R: the centre glows red-orange, the corner is dark.
        const auto* px = static_cast<const std::uint8_t*>(dib.dsBm.bmBits);
        const std::uint8_t* centre = px + (35 * 64 + 32) * 4;
        EXPECT_GT(centre[2], 200);
        EXPECT_GT(centre[2], centre[1]);
        EXPECT_GT(centre[1], centre[0]);
        EXPECT_LT(px[2] + px[1] + px[0], 3 * 48);

        // It draws like any bitmap: the same centre colour through a memory DC.
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        SelectObjectScope select(dc.Get(), bitmap.Get());
        EXPECT_EQ(::GetPixel(dc.Get(), 32, 35), RGB(centre[2], centre[1], centre[0]));
    }
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

TEST(JpegImage, DamagedOrMissingPictureIsAnErrorWithoutABitmap) {
    const auto bytes = EmbeddedPicture();
    ASSERT_GT(bytes.size(), 1000u);
    const long before = Bitmap::LiveCount();
    EXPECT_THROW(LoadJpegBitmap(bytes.data(), bytes.size() / 2), Error);
    EXPECT_THROW(LoadJpegBitmap(bytes.data(), 0), Error);
    EXPECT_THROW(LoadJpegResource(nullptr, 9999), Error);
    EXPECT_EQ(Bitmap::LiveCount(), before);
}

}  // namespace
}  // namespace zelvane
