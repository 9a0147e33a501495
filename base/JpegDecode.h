// Decoding of JPEG pictures held in memory, with the IJG libjpeg API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelvane {

// A decoded picture: rows top-down, three bytes per pixel in the order R, G, B,
// no padding between rows.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    const std::uint8_t* Pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The largest side we agree to decode; a bigger picture is refused before any
// memory is taken for it.
inline constexpr int kMaxJpegSide = 8192;

// Decodes a whole JPEG file image. A missing, corrupt or truncated picture
// throws zelvane::Error with libjpeg's own message; libjpeg's warnings (data
// that ends early, damaged segments) count as errors too, so a picture is either
// complete or not there at all.
RgbImage DecodeJpeg(const void* data, std::size_t size);

}  // namespace zelvane
