// Loads the program's pictures in the size drawn for a DPI (gui/PictureSizes.h).
#pragma once

#include <windows.h>

#include "gui/Handles.h"
#include "gui/ImageList.h"
#include "gui/PictureSizes.h"

namespace zelvane {

struct Picture {
    Bitmap bitmap;  // a DIB section, as the 96-DPI pictures are loaded
    int size;       // the side of one image (of one cell in a strip)
};

// The picture of `kind` drawn for `dpi`, from the program's own resources;
// throws Error when the resource cannot be loaded.
Picture LoadPicture(PictureKind kind, int dpi);

// The strip of `kind` drawn for `dpi` as an image list (the mask colour
// transparent).
ImageList DrawnImageList(PictureKind kind, int dpi);

// The strip of `kind` in the drawing whose images are as large as the
// notification area's icons, which follow the DPI of the whole screen.
ImageList NotificationAreaImageList(PictureKind kind);

// The program's icon at the notification area's size (shared: never
// destroyed), or the system's application icon when it cannot be loaded.
HICON NotificationAreaProgramIcon();

}  // namespace zelvane
