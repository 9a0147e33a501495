#include "base/JpegDecode.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "base/Error.h"

namespace zelvane {
namespace {

// libjpeg reports failures to its error manager, which must not return. Ours
// keeps the formatted message and jumps back to Decode(); the jump crosses only
// libjpeg's C frames, and Decode() holds no object with a destructor, so no
// C++ clean-up is skipped. The caller's guard then destroys the decompress
// struct, as it does when Decode() throws (the pixel buffer).
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) mean damaged or missing data that libjpeg would paper
// over with grey; we refuse the picture instead. Trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) ErrorExit(cinfo);
}

enum class Outcome { kDone, kTooLarge, kLibraryError };

// Everything that can fail inside libjpeg happens here. 'out' is sized and
// filled by this function but owned by the caller.
Outcome Decode(jpeg_decompress_struct* cinfo, ErrorManager* err, const void* data, std::size_t size,
               RgbImage* out) {
    if (setjmp(err->jump)) return Outcome::kLibraryError;
    jpeg_create_decompress(cinfo);
    // jpeg_mem_src reports an empty buffer through the error manager.
    jpeg_mem_src(cinfo, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    cinfo->out_color_space = JCS_RGB;
    if (cinfo->image_width > static_cast<JDIMENSION>(kMaxJpegSide) ||
        cinfo->image_height > static_cast<JDIMENSION>(kMaxJpegSide))
        return Outcome::kTooLarge;
    jpeg_start_decompress(cinfo);
    out->width = static_cast<int>(cinfo->output_width);
    out->height = static_cast<int>(cinfo->output_height);
    const std::size_t stride = static_cast<std::size_t>(out->width) * 3;
    out->pixels.resize(stride * static_cast<std::size_t>(out->height));
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->pixels.data() + stride * cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return Outcome::kDone;
}

}  // namespace

RgbImage DecodeJpeg(const void* data, std::size_t size) {
    if (data == nullptr || size == 0) throw Error("Картинка JPEG отсутствует");
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    // The decoder is destroyed on every way out, also when the pixel buffer
    // cannot be had (std::bad_alloc). Safe in every state: after a failed
    // jpeg_create_decompress the memory manager is null and jpeg_destroy does
    // nothing.
    struct Destroy {
        jpeg_decompress_struct& cinfo;
        ~Destroy() { jpeg_destroy_decompress(&cinfo); }
    } destroy{cinfo};
    RgbImage image;
    const Outcome outcome = Decode(&cinfo, &err, data, size, &image);
    switch (outcome) {
    case Outcome::kDone:
        return image;
    case Outcome::kTooLarge:
        throw Error("Картинка JPEG слишком велика");
    case Outcome::kLibraryError:
        break;
    }
    throw Error(FormatMessage1("Не удалось прочитать картинку JPEG: %s", err.message));
}

}  // namespace zelvane
