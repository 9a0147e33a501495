#include "settings/Unit2.h"

namespace zelvane {

TForm2::TForm2(TForm1& main) : main_(main) {
    CreateForm("Options ...", Frame::ToolWindow, false, 231, 123, 377, 294, 0xC8D0D4);
}

bool TForm2::CloseQuery() {
    Hide();
    return false;
}

void TForm2::OnKeyUp(WORD key, ShiftState) {
    if (key == kVkEscape) Hide();
}

}  // namespace zelvane
