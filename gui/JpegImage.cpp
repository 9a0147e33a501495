#include "gui/JpegImage.h"

#include <cstdint>
#include <string>

#include "base/Error.h"
#include "base/JpegDecode.h"

namespace zelvane {

Bitmap LoadJpegBitmap(const void* data, std::size_t size) {
    const RgbImage image = DecodeJpeg(data, size);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows, like the decoder's
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) throw Error("Не удалось создать растр для картинки JPEG");

    const std::uint8_t* src = image.pixels.data();
    auto* dst = static_cast<std::uint8_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i, src += 3, dst += 4) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = 255;
    }
    ::GdiFlush();
    return bitmap;
}

Bitmap LoadJpegResource(HMODULE module, int id) {
    if (module == nullptr) module = ::GetModuleHandleW(nullptr);
    // Resource memory belongs to the loaded module: nothing to free.
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (data == nullptr)
        throw Error(FormatMessage1("Картинка JPEG не найдена в ресурсах программы (%s)", std::to_string(id)));
    return LoadJpegBitmap(data, ::SizeofResource(module, info));
}

}  // namespace zelvane
