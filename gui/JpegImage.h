// JPEG pictures as GDI bitmaps: decoded with libjpeg into a 32-bit DIB section.
#pragma once

#include <windows.h>

#include <cstddef>

#include "gui/Handles.h"

namespace zelvane {

// Decodes JPEG bytes into a top-down 32-bit DIB section (B, G, R, 255 per
// pixel) that can be selected into a memory DC and drawn with BitBlt. Throws
// zelvane::Error with libjpeg's message when the picture is corrupt or cut
// short, and when the bitmap cannot be made; nothing is left allocated then.
Bitmap LoadJpegBitmap(const void* data, std::size_t size);

// The same for a JPEG stored as an RCDATA resource of a module (nullptr: the
// program itself). A missing resource throws zelvane::Error as well.
Bitmap LoadJpegResource(HMODULE module, int id);

}  // namespace zelvane
