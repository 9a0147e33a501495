// The about picture decodes whole, and damaged pictures end in an error that
// carries libjpeg's message instead of a crash, an exit or a grey half-picture.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <new>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "base/Error.h"
#include "base/JpegDecode.h"
#include "tests/common/error_of.h"

namespace zelvane {
namespace {

std::vector<unsigned char> ReadAboutPicture() {
    std::ifstream in(std::string(ZELVANE_SOURCE_DIR) + "/resources/about.jpg", std::ios::binary);
    EXPECT_TRUE(in) << "resources/about.jpg is missing";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Mean colour of a square of side 2r+1 around (x, y).
std::array<double, 3> Mean(const RgbImage& image, int x, int y, int r) {
    std::array<double, 3> sum{};
    int n = 0;
    for (int j = y - r; j <= y + r; ++j)
        for (int i = x - r; i <= x + r; ++i, ++n)
            for (int c = 0; c < 3; ++c) sum[c] += image.Pixel(i, j)[c];
    for (double& s : sum) s /= n;
    return sum;
}

TEST(JpegDecode, AboutPictureIsAGlowingRedOrangeEmblemOnADarkGround) {
    const auto bytes = ReadAboutPicture();
    const RgbImage image = DecodeJpeg(bytes.data(), bytes.size());
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 74);
    ASSERT_EQ(image.pixels.size(), 64u * 74u * 3u);

    const auto centre = Mean(image, 32, 35, 4);
    EXPECT_GT(centre[0], 200) << "the centre glows";
    EXPECT_GT(centre[0], centre[1] + 60) << "red over green: red-orange";
    EXPECT_GT(centre[1], centre[2] + 40) << "green over blue: orange, not magenta";

    for (auto [x, y] : {std::pair{2, 2}, {61, 2}, {2, 71}, {61, 71}}) {
        const auto corner = Mean(image, x, y, 2);
        EXPECT_LT(corner[0] + corner[1] + corner[2], 3 * 48) << "corner " << x << "," << y << " is dark";
    }
}

TEST(JpegDecode, TruncatedPictureIsAnErrorNotAGreyRemainder) {
    const auto bytes = ReadAboutPicture();
    // Cut in the middle of the scan data, and just before the end marker.
    for (size_t keep : {bytes.size() / 2, bytes.size() - 2}) {
        const std::string error = test::ErrorOf([&] { DecodeJpeg(bytes.data(), keep); });
        EXPECT_NE(error.find("JPEG"), std::string::npos) << "cut to " << keep << " bytes: \"" << error << '"';
    }
}

TEST(JpegDecode, MissingOrForeignDataIsAnError) {
    EXPECT_THROW(DecodeJpeg(nullptr, 0), Error);
    const unsigned char empty[1] = {0};
    EXPECT_THROW(DecodeJpeg(empty, 0), Error);
    const std::string text = "BM this is a bitmap header, not a JPEG";
    EXPECT_THROW(DecodeJpeg(text.data(), text.size()), Error);

    // A valid header whose scan data is replaced by noise.
    auto bytes = ReadAboutPicture();
    for (size_t i = bytes.size() / 3; i < bytes.size() - 2; ++i) bytes[i] = static_cast<unsigned char>(i * 37);
    EXPECT_THROW(DecodeJpeg(bytes.data(), bytes.size()), Error);
}

TEST(JpegDecode, DecoderIsReusableAfterAFailure) {
    const auto bytes = ReadAboutPicture();
    for (int i = 0; i < 3; ++i) {
        EXPECT_THROW(DecodeJpeg(bytes.data(), 100), Error);
        EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size()).width, 64);
    }
}

// Set by a test: operator new refuses requests of this many bytes or more.
std::size_t refuseFrom = 0;

TEST(JpegDecode, NoMemoryForThePixelsLeaksNoDecoder) {
    const auto bytes = ReadAboutPicture();
    refuseFrom = 64u * 74u * 3u;
    // The leak checker of the sanitized build finds a decoder left behind.
    EXPECT_THROW(DecodeJpeg(bytes.data(), bytes.size()), std::bad_alloc);
    refuseFrom = 0;
    EXPECT_EQ(DecodeJpeg(bytes.data(), bytes.size()).width, 64);
}

}  // namespace
}  // namespace zelvane

void* operator new(std::size_t size) {
    if (zelvane::refuseFrom != 0 && size >= zelvane::refuseFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
