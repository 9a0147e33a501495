#include "gui/Pictures.h"

#include <string>
#include <utility>

#include "base/Dpi.h"
#include "base/Error.h"
#include "gui/Dpi.h"
#include "resources/resource.h"

namespace zelvane {

Picture LoadPicture(PictureKind kind, int dpi) {
    const PictureChoice choice = ChoosePicture(kind, dpi);
    Bitmap bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(choice.resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) throw Error(FormatMessage1("Cannot load bitmap %s", std::to_string(choice.resourceId)));
    return Picture{std::move(bitmap), choice.size};
}

ImageList DrawnImageList(PictureKind kind, int dpi) {
    const Picture picture = LoadPicture(kind, dpi);
    return ImageList(picture.bitmap.Get(), picture.size, ZELVANE_MASK_COLOR);
}

ImageList NotificationAreaImageList(PictureKind kind) {
    // The DPI at which the drawing's 96-DPI size scales to the small icons'.
    return DrawnImageList(kind, Rescale(SmallIconSize(), BasePictureSize(kind), kBaseDpi));
}

HICON NotificationAreaProgramIcon() {
    const int size = SmallIconSize();
    auto icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                size, size, LR_SHARED));
    return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace zelvane
