#include "app/ProgramStart.h"

#include <memory>

#include "app/ProgramWindows.h"
#include "app/main.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Application.h"
#include "gui/ErrorReport.h"

namespace zelvane {

int RunProgram(const std::string& firstArgument) {
    // The sampler sets itself up before any window exists; without the
    // Windows version the program cannot start.
    if (!Guarded([] { StartCpuUsageSampler(); })) return 1;
    struct SamplerShutdown {
        ~SamplerShutdown() { ShutdownCpuUsageSampler(); }
    } samplerShutdown;
    static SystemLoadSampler sampler;

    // Without its application window or its main window the program has
    // nothing to show: it says why and ends.
    Application& app = Application::Get();
    if (!Guarded([&] { app.Initialize(); })) return 1;
    std::unique_ptr<TForm1> form1;
    if (!Guarded([&] { form1 = std::make_unique<TForm1>(); })) return 1;
    form1->SetSampler(&sampler);
    bool stays = true;
    Guarded([&] { stays = form1->FormCreate(firstArgument); });
    if (!stays) return 0;

    // Destroyed before the main window, whose table they read.
    ProgramWindows windows(*form1);
    form1->SetOtherWindows(&windows);

    form1->CenterOnDesktop();
    form1->Show();
    return app.Run();
}

}  // namespace zelvane
