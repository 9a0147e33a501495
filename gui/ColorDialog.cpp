#include "gui/ColorDialog.h"

#include "gui/ForeignLoop.h"

namespace zelvane {

bool ColorDialog::Execute(HWND owner) {
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = color_;
    cc.lpCustColors = custom_;
    cc.Flags = CC_RGBINIT;
    const ForeignLoopScope loop;
    if (!choose(cc)) return false;
    color_ = cc.rgbResult;
    return true;
}

}  // namespace zelvane
