// The system's colour dialog as one lasting object: it opens on the colour
// last confirmed in it (black before the first) and keeps the user's custom
// colours between its runs.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>

#include "sys/DynCalls.h"

namespace zelvane {

class ColorDialog {
public:
    // Runs the dialog modally over `owner`; true when the user confirmed a
    // colour, which Color() then holds. A cancel leaves Color() as it was.
    bool Execute(HWND owner);
    COLORREF Color() const { return color_; }

    // The system call; tests put a stand-in here.
    std::function<BOOL(CHOOSECOLORW&)> choose = [](CHOOSECOLORW& cc) {
        const auto chooseColor = dyn::ChooseColorW();
        return chooseColor ? chooseColor(&cc) : FALSE;
    };

private:
    COLORREF color_ = RGB(0, 0, 0);
    COLORREF custom_[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                            0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
};

}  // namespace zelvane
