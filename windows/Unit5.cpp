#include "windows/Unit5.h"

namespace zelvane {

TForm5::TForm5(TForm1& main) : main_(main) {
    Look look;
    look.windowText = "ProcsInfo";
    look.width = 224;
    look.height = 217;
    look.color = 0xE4CEB8;
    look.caption = "Информация";
    look.stayOnTop = true;
    CreateBorderless(look);
}

}  // namespace zelvane
#include "app/main.h"

namespace zelvane {

void TForm1::FillProcessInfo(int row) { (void)row; }

}  // namespace zelvane
