// Program entry: the application window, the five windows in their order, the
// message loop.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include <memory>

#include "app/main.h"
#include "base/Text.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Application.h"
#include "windows/Forms.h"

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

    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm5> form5;
    form1.DeferWindows({
        [&] { form2 = std::make_unique<TForm2>(form1); },
        [&] { form3 = std::make_unique<TForm3>(); },
        [&] { form4 = std::make_unique<TForm4>(form1); },
        [&] {
            form5 = std::make_unique<TForm5>(form1);
            form1.AttachWindows(form2.get(), form3.get(), form4.get(), form5.get());
        },
    });

    form1.CenterOnDesktop();
    form1.Show();
    return app.Run();
}
