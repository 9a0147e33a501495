// Loads the program's pictures in the size drawn for a DPI (gui/PictureSizes.h).
#pragma once

#include "gui/Handles.h"
#include "gui/PictureSizes.h"

namespace zelvane {

struct Picture {
    Bitmap bitmap;  // a DIB section, as the 96-DPI pictures are loaded
    int size;       // the side of one image (of one cell in a strip)
};

// The picture of `kind` drawn for `dpi`, from the program's own resources;
// throws Error when the resource cannot be loaded.
Picture LoadPicture(PictureKind kind, int dpi);

}  // namespace zelvane
