#include "gui/Handles.h"

#include <commctrl.h>

namespace zelvane {

void ImageListTraits::Close(Type h) { ImageList_Destroy(static_cast<HIMAGELIST>(h)); }

}  // namespace zelvane
