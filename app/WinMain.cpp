// Program entry: the common controls, then the program's run.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include "app/ProgramStart.h"
#include "base/Text.h"

namespace {

std::string FirstArgument() {
    // The runtime has split the command line already (as CommandLineToArgvW
    // would), so shell32 need not be loaded for it.
    return __argc > 1 && __wargv ? zelvane::Narrow(__wargv[1]) : std::string();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    return zelvane::RunProgram(FirstArgument());
}
