#include "windows/Search.h"

namespace zelvane {

TForm4::TForm4(TForm1& main) : main_(main) {
    Look look;
    look.windowText = "Search...";
    look.width = 296;
    look.height = 348;
    look.color = 0xA4A4FF;
    look.caption = "[ Выборка из списка процессов ]";
    look.captionColor = 0xFF0080;
    look.stayOnTop = true;
    look.panelColor = ::GetSysColor(COLOR_BTNFACE);
    CreateBorderless(look);
}

}  // namespace zelvane
