#include "windows/Unit3.h"

namespace zelvane {

TForm3::TForm3() {
    Look look;
    look.windowText = "About Program.";
    look.width = 278;
    look.height = 273;
    look.color = 0xDCF4C1;
    look.caption = "Zelvane 2.2.0.3";
    CreateBorderless(look);
}

}  // namespace zelvane
