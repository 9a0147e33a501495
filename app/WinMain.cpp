// Program entry: the application window, the main window and the owner of the
// other four, the message loop.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include "app/ProgramWindows.h"
#include "app/main.h"
#include "base/Text.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Application.h"

using namespace zelvane;

namespace {

std::string FirstArgument() {
    // The runtime has split the command line already (as CommandLineToArgvW
    // would), so shell32 need not be loaded for it.
    return __argc > 1 && __wargv ? Narrow(__wargv[1]) : std::string();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    Application& app = Application::Get();
    // The sampler sets itself up before any window exists; without the
    // Windows version the program cannot start.
    if (!Guarded([] { StartCpuUsageSampler(); })) return 1;
    struct SamplerShutdown {
        ~SamplerShutdown() { ShutdownCpuUsageSampler(); }
    } samplerShutdown;
    static SystemLoadSampler sampler;

    app.Initialize();
    TForm1 form1;
    form1.SetSampler(&sampler);
    bool stays = true;
    Guarded([&] { stays = form1.FormCreate(FirstArgument()); });
    if (!stays) return 0;

    // Destroyed before the main window, whose table they read.
    ProgramWindows windows(form1);
    form1.SetOtherWindows(&windows);

    form1.CenterOnDesktop();
    form1.Show();
    return app.Run();
}
