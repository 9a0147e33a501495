// An image list of equal square-ish images with masks, sliced from a bitmap
// strip (the tool bar pictures, the tray gauge). Owns its HIMAGELIST.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "gui/Handles.h"

namespace zelvane {

// The bitmap resource `bitmapId` of `module` as a DIB section; raises the
// program's error when it cannot be loaded.
Bitmap LoadBitmapResource(HINSTANCE module, int bitmapId);

class ImageList {
public:
    // Slices `strip` (not taken over) into images `imageWidth` wide and as high
    // as the strip; pixels of `maskColour` become transparent.
    ImageList(HBITMAP strip, int imageWidth, COLORREF maskColour);
    // The same from a bitmap resource of `module`.
    static ImageList FromResource(HINSTANCE module, int bitmapId, int imageWidth, COLORREF maskColour);

    ImageList(ImageList&&) = default;
    ImageList& operator=(ImageList&&) = default;

    int Count() const;
    // A new icon of image `index` (drawn with its mask); throws Error when the
    // index is outside the list.
    IconHandle Icon(int index) const;
    HIMAGELIST Handle() const { return list_.Get(); }

private:
    ImageListHandle list_;
};

}  // namespace zelvane
