#include "gui/Pictures.h"

#include <string>
#include <utility>

#include "base/Error.h"

namespace zelvane {

Picture LoadPicture(PictureKind kind, int dpi) {
    const PictureChoice choice = ChoosePicture(kind, dpi);
    Bitmap bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(choice.resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) throw Error(FormatMessage1("Cannot load bitmap %s", std::to_string(choice.resourceId)));
    return Picture{std::move(bitmap), choice.size};
}

}  // namespace zelvane
