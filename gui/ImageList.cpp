#include "gui/ImageList.h"

#include <string>

#include "base/Error.h"

namespace zelvane {

ImageList::ImageList(HBITMAP strip, int imageWidth, COLORREF maskColour) {
    BITMAP bm{};
    if (!strip || imageWidth <= 0 || !::GetObjectW(strip, sizeof bm, &bm) || bm.bmWidth < imageWidth)
        throw Error("Invalid image strip");
    const int count = bm.bmWidth / imageWidth;
    list_.Reset(::ImageList_Create(imageWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list_) throw Error("ImageList_Create failed");
    // AddMasked paints the mask colour of the source black; work on a copy so
    // that the caller's bitmap stays as it was.
    Bitmap copy(static_cast<HBITMAP>(::CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy) throw Error("CopyImage failed");
    if (::ImageList_AddMasked(Handle(), copy.Get(), maskColour) < 0)
        throw Error("ImageList_AddMasked failed");
}

Bitmap LoadBitmapResource(HINSTANCE module, int bitmapId) {
    Bitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) throw Error(FormatMessage1("Cannot load bitmap %s", std::to_string(bitmapId)));
    return bitmap;
}

ImageList ImageList::FromResource(HINSTANCE module, int bitmapId, int imageWidth, COLORREF maskColour) {
    const Bitmap strip = LoadBitmapResource(module, bitmapId);
    return ImageList(strip.Get(), imageWidth, maskColour);
}

int ImageList::Count() const { return ::ImageList_GetImageCount(Handle()); }

IconHandle ImageList::Icon(int index) const {
    if (index < 0 || index >= Count()) throw Error(FormatMessage1("No image %s", std::to_string(index)));
    IconHandle icon(::ImageList_GetIcon(Handle(), index, ILD_NORMAL));
    if (!icon) throw Error("ImageList_GetIcon failed");
    return icon;
}

}  // namespace zelvane
