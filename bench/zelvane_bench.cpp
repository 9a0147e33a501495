// Zelvane's benchmark under Wine (tools/bench.sh runs it): each measurement
// sets the program's own code against the bare system calls it makes, in the
// same process, alternately, and prints medians and their ratio.
//   zelvane_bench rebuild <extra children> <repetitions>
//   zelvane_bench tick <repetitions>
//   zelvane_bench startup <runs>
//   zelvane_bench trace <runs>     where a start's time goes (bench/StartTrace.h)
//   zelvane_bench parts            the parts of a tick and of the idle work
//   zelvane_bench control autoreload-on|autoreload-off|hide   (for tools/idle.sh)
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/main.h"
#include "bench/Harness.h"
#include "bench/StartTrace.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Application.h"
#include "gui/ErrorReport.h"
#include "sys/DynCalls.h"
#include "resources/version.h"
#include "tests/win32/TForm1Probe.h"

using namespace zelvane;
using namespace zelvane::bench;

namespace {

constexpr wchar_t kMainTitlePrefix[] = L"Zelvane v";
constexpr wchar_t kMinimalTitle[] = L"Minimal window";
constexpr int kAutoReLoadCommand = 1002;  // the AutoReLoad tool button

// Handles the messages waiting in the queue as the program's loop does.
void PumpWaiting() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT) Application::Get().Dispatch(msg);
}

void PumpFor(int ms) {
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    do {
        PumpWaiting();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (static_cast<LONG>(end - ::GetTickCount()) > 0);
}

// NtQuerySystemInformation, the bare call behind the floors below.
nt::NtQuerySystemInformationFn SystemInformation() { return dyn::NtQuerySystemInformation(); }

// Walks a fresh process snapshot, calling `fn` with every identifier;
// returns the number of processes.
template <typename Fn>
int ForEachProcess(Fn&& fn) {
    int processes = 0;
    const FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W record;
    record.dwSize = sizeof record;
    if (!snapshot || !::Process32FirstW(snapshot.Get(), &record)) return 0;
    do {
        ++processes;
        fn(record.th32ProcessID);
    } while (::Process32NextW(snapshot.Get(), &record));
    return processes;
}

// The system calls of one table rebuild without a table or anything kept:
// snapshot, walk, open with query and read access, first module's file name,
// the image-name fallback with limited access, close.
int BareLoop() {
    return ForEachProcess([](DWORD pid) {
        wchar_t path[1024];
        DWORD length = 0;
        KernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
        if (process) {
            HMODULE first = nullptr;
            DWORD needed = 0;
            if (::EnumProcessModules(process.Get(), &first, sizeof first, &needed)) {
                length = ::GetModuleFileNameExW(process.Get(), first, path, 1024);
            }
        }
        if (length == 0) {
            if (!process) process.Reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
            DWORD size = 1024;
            if (process) ::QueryFullProcessImageNameW(process.Get(), 0, path, &size);
        }
    });
}

// The call of a rebuild in the steady state, where every process was seen
// before: the system's process list, into a buffer kept from call to call.
int SteadyFloor() {
    const auto query = SystemInformation();
    static std::vector<std::uint64_t> buffer(std::size_t{1} << 16);
    ULONG returned = 0;
    while (query(nt::kSystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &returned) ==
           nt::kStatusInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    return static_cast<int>(returned);
}

// The whole program's main window in this process, as the program creates it.
struct Program {
    Program() {
        Application& app = Application::Get();
        app.Initialize();
        SetErrorHandler([](const std::string& text) { std::fprintf(stderr, "error box: %s\n", text.c_str()); });
        form1 = std::make_unique<TForm1>();
        if (!form1->FormCreate("")) {
            std::fprintf(stderr, "another Zelvane is running in this prefix\n");
            std::exit(2);
        }
        form1->CenterOnDesktop();
        form1->Show();
        PumpFor(300);
        // Only the measured calls paint from here on.
        Probe(*form1).RepaintTimer().SetEnabled(false);
        Probe(*form1).UpdateTimerObject().SetEnabled(false);
        Probe(*form1).CpuTimer().SetEnabled(false);
    }
    std::unique_ptr<TForm1> form1;
};

int Rebuild(int extra, int reps) {
    Children children(extra);
    Program program;
    TForm1& form = *program.form1;
    const HWND grid = Probe(form).Grid().Handle();
    const int paintsBefore = Probe(form).Grid().PaintCount();
    const auto [bare, rebuild] = MedianPair([] { BareLoop(); },
                                            [&] {
                                                form.ListProcesses();
                                                ::UpdateWindow(grid);
                                            },
                                            reps);
    const auto [floor, rebuild2] = MedianPair([] { SteadyFloor(); },
                                              [&] {
                                                  form.ListProcesses();
                                                  ::UpdateWindow(grid);
                                              },
                                              reps);
    std::printf("rebuild extra=%d processes=%d bare_us=%.1f rebuild_us=%.1f ratio=%.3f floor_us=%.1f "
                "floor_ratio=%.3f grid_paints=%d\n",
                children.Count(), BareLoop(), bare, rebuild, rebuild / bare, floor, rebuild2 / floor,
                Probe(form).Grid().PaintCount() - paintsBefore);
    return 0;
}

// SystemProcessorPerformanceInformation, what the sampler reads under Wine
// (and wherever the performance data lack the Processor object).
// The real sampler, whose loads are replaced by `loads` taken in turn, one per
// sample: every part of a tick runs, and the test decides whether the image
// changes.
class ChosenLoads : public LoadSampler {
public:
    ChosenLoads(LoadSampler& real, double first, double second) : real_(real), loads_{first, second} {}
    void TakeSample() override {
        real_.TakeSample();
        ++samples_;
    }
    std::int32_t ProcessorCount() override { return real_.ProcessorCount(); }
    double ProcessorLoad(std::int32_t index) override {
        (void)real_.ProcessorLoad(index);
        return loads_[samples_ % 2];
    }

private:
    LoadSampler& real_;
    double loads_[2];
    int samples_ = 0;
};

// A sink that shows nothing: the indicator's work without the icon.
struct NoSink : LoadSink {
    void SetIconIndex(int) override {}
    void SetHint(const std::string&) override {}
} nowhere;

int Tick(int reps) {
    const auto ntQuery = SystemInformation();
    StartCpuUsageSampler();
    SystemLoadSampler sampler;
    Program program;
    TForm1& form = *program.form1;
    // The call with room for exactly the machine's processors, as the sampler
    // makes it; and, as measured before, with room for 64 (Wine then does
    // more work for the empty slots).
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    std::vector<nt::ProcessorTimes> times(64);
    const auto queryWithRoom = [&](std::size_t processors) {
        ULONG returned = 0;
        ntQuery(nt::kSystemProcessorPerformanceInformation, times.data(),
                static_cast<ULONG>(processors * sizeof(nt::ProcessorTimes)), &returned);
    };
    const auto bareQuery = [&] { queryWithRoom(info.dwNumberOfProcessors); };
    // A steady load (the usual case: the image stays, the hint is stored) and
    // one that moves the gauge at every tick (the shell redraws the icon).
    ChosenLoads steady(sampler, 0.05, 0.06), moving(sampler, 0.05, 0.95);
    form.SetSampler(&steady);
    const auto [bare, tick] = MedianPair(bareQuery, [&] { Probe(form).CPUUasgeTimerTimer(); }, reps, 3, 25);
    form.SetSampler(&moving);
    const auto [bare2, change] = MedianPair(bareQuery, [&] { Probe(form).CPUUasgeTimerTimer(); }, reps / 4 + 1, 3, 25);
    (void)bare2;
    const auto [bare64, tick2] =
        MedianPair([&] { queryWithRoom(64); }, [&] { Probe(form).CPUUasgeTimerTimer(); }, reps / 4 + 1, 3, 25);
    (void)tick2;
    // The tick without the icon: the sample and the figures for every instance.
    const auto [bare3, indicator] =
        MedianPair(bareQuery, [&] { IndicatorTick(steady, nowhere); }, reps / 4 + 1, 3, 25);
    // The icon looks the taskbar up whenever its hint is set (so that a new
    // taskbar gets it back within one tick without any broadcast): the least
    // a tick can cost is the query and that one look-up.
    form.SetSampler(&steady);
    const auto [bareLookup, tick3] = MedianPair(
        [&] {
            bareQuery();
            ::FindWindowW(L"Shell_TrayWnd", nullptr);
        },
        [&] { Probe(form).CPUUasgeTimerTimer(); }, reps, 3, 25);
    std::printf("tick bare_us=%.1f tick_us=%.1f ratio=%.3f image_change_us=%.1f bare_room64_us=%.1f "
                "indicator_us=%.1f indicator_bare_us=%.1f bare_lookup_us=%.1f lookup_tick_us=%.1f "
                "lookup_ratio=%.3f\n",
                bare, tick, tick / bare, change, bare64, indicator, bare3, bareLookup, tick3, tick3 / bareLookup);
    form.SetSampler(nullptr);
    ShutdownCpuUsageSampler();
    return 0;
}

// Starts `exe` and waits until its window titled `title...` is visible, has
// answered a sent message and neither it nor a child has anything left to
// paint; then closes it. Returns the microseconds to that point, or -1.
double StartToFirstPaint(const std::wstring& exe, const wchar_t* title) {
    const LONGLONG start = Now();
    PROCESS_INFORMATION pi = Start(exe);
    if (!pi.hProcess) return -1;
    KernelHandle process(pi.hProcess), thread(pi.hThread);
    double elapsed = -1;
    HWND window = nullptr;
    while (static_cast<int>(Microseconds(Now() - start)) < 30'000'000) {
        window = FindVisibleWindow(pi.dwProcessId, title);
        if (window) {
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
            if (Painted(window)) {
                elapsed = Microseconds(Now() - start);
                break;
            }
        }
        ::Sleep(1);
    }
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 5000);
    }
    return elapsed;
}

int Startup(int runs) {
    const std::wstring dir = OwnDirectory();
    std::vector<double> program, minimal;
    StartToFirstPaint(dir + L"minimal_window.exe", kMinimalTitle);  // warm the file cache
    StartToFirstPaint(dir + L"zelvane.exe", kMainTitlePrefix);
    for (int i = 0; i < runs; ++i) {
        const double a = StartToFirstPaint(dir + L"zelvane.exe", kMainTitlePrefix);
        ::Sleep(300);
        const double b = StartToFirstPaint(dir + L"minimal_window.exe", kMinimalTitle);
        ::Sleep(300);
        if (a > 0 && b > 0) {
            program.push_back(a);
            minimal.push_back(b);
        }
    }
    const double p = Median(program), m = Median(minimal);
    std::printf("startup runs=%zu minimal_ms=%.1f program_ms=%.1f ratio=%.3f\n", program.size(), m / 1000,
                p / 1000, m > 0 ? p / m : 0);
    return program.empty() ? 1 : 0;
}

// The output of `exe args` (its standard output, read through a pipe) once it
// has ended.
std::string RunCapturing(const std::wstring& exe, const std::wstring& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!::CreatePipe(&read, &write, &inherit, 0)) return {};
    KernelHandle reader(read), writer(write);
    ::SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return {};
    KernelHandle process(pi.hProcess), thread(pi.hThread);
    writer.Reset(nullptr);  // the child holds the only writing end: the reads end with it
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    ::WaitForSingleObject(process.Get(), 30000);
    return output;
}

// Where the time of a start goes: `runs` starts of this program in its
// "trace-once" mode, one after the other, and the medians of their traces
// (bench/StartTrace.h). A diagnosis, not a figure.
int Trace(int runs) {
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<StartTrace> traces;
    for (int i = 0; i < runs; ++i) {
        StartTrace trace = ParseTrace(RunCapturing(std::wstring(self, n), L"trace-once"));
        if (trace.marks.empty()) {
            std::fprintf(stderr, "a traced start gave no trace\n");
            return 1;
        }
        traces.push_back(std::move(trace));
        ::Sleep(300);
    }
    std::printf("%s", SummarizeTraces(traces).c_str());
    std::printf("rows at the first paint: %d\n", traces.back().tableRows);
    return 0;
}

int TraceOnce() {
    const StartTrace trace = TraceStart();
    std::printf("%s", FormatTrace(trace).c_str());
    return trace.marks.empty() ? 1 : 0;
}

// The parts of a tick and of the idle work, each timed alone, against the
// bare query: a diagnosis, not a figure.
int Parts() {
    const auto ntQuery = SystemInformation();
    StartCpuUsageSampler();
    Program program;
    TForm1& form = *program.form1;
    SystemLoadSampler sampler;
    Probe(form).TrayIcon();  // made now, as after the start's first paint
    std::vector<unsigned char> times(48 * 64);
    std::vector<double> indicator, bare, bareExact, tick, sample, findTaskbar, icon, hint, ticker, rebuild;
    // Whole ticks first: the image-setting parts below move the gauge.
    form.SetSampler(&sampler);
    for (int i = 0; i < 50; ++i) {
        tick.push_back(TimeOnce([&] { Probe(form).CPUUasgeTimerTimer(); }));
        indicator.push_back(TimeOnce([&] { IndicatorTick(sampler, nowhere); }));
        ::Sleep(5);
    }
    for (int i = 0; i < 50; ++i) {
        bare.push_back(TimeOnce([&] {
            ULONG returned = 0;
            ntQuery(nt::kSystemProcessorPerformanceInformation, times.data(), static_cast<ULONG>(times.size()),
                    &returned);
        }));
        // Room for exactly the machine's processors, as the sampler asks.
        bareExact.push_back(TimeOnce([&] {
            ULONG returned = 0;
            ntQuery(nt::kSystemProcessorPerformanceInformation, times.data(),
                    static_cast<ULONG>(sizeof(nt::ProcessorTimes) * (sampler.ProcessorCount() - 1)), &returned);
        }));

        sample.push_back(TimeOnce([&] {
            sampler.TakeSample();
            sampler.ProcessorLoad(0);
        }));
        findTaskbar.push_back(TimeOnce([] { ::FindWindowW(L"Shell_TrayWnd", nullptr); }));
        icon.push_back(TimeOnce([&] { Probe(form).TrayIcon().SetIconIndex(i % 12); }));
        hint.push_back(TimeOnce([&] { Probe(form).TrayIcon().SetHint("Загрузка ЦП: " + std::to_string(i) + "%"); }));
        ticker.push_back(TimeOnce([&] {
            Probe(form).URLTimerTimer();
            ::UpdateWindow(form.Handle());
        }));
        rebuild.push_back(TimeOnce([&] {
            form.ListProcesses();
            ::UpdateWindow(Probe(form).Grid().Handle());
        }));
        ::Sleep(5);
    }
    std::printf("idle-part ticker_step_us=%.1f rebuild_us=%.1f\n", Median(ticker), Median(rebuild));
    std::printf("tick-part indicator_us=%.1f bare_us=%.1f bare_exact_us=%.1f tick_us=%.1f sample_us=%.1f find_taskbar_us=%.1f "
                "icon_index_us=%.1f hint_us=%.1f\n",
                Median(indicator), Median(bare), Median(bareExact), Median(tick), Median(sample), Median(findTaskbar), Median(icon),
                Median(hint));
    form.SetSampler(nullptr);
    program.form1.reset();
    ShutdownCpuUsageSampler();
    return 0;
}

// Drives a running zelvane.exe for tools/idle.sh.
int DriveRunning(const char* what) {
    const HWND main = ::FindWindowW(nullptr, L"Zelvane v " ZELVANE_VERSION " - процессы");
    if (!main) {
        std::fprintf(stderr, "no Zelvane main window\n");
        return 1;
    }
    if (std::strcmp(what, "hide") == 0) {
        ::PostMessageW(main, ::RegisterWindowMessageW(L"Zelvane_Hide"), 0, 0);
        return 0;
    }
    const bool on = std::strcmp(what, "autoreload-on") == 0;
    if (!on && std::strcmp(what, "autoreload-off") != 0) return 1;
    const HWND toolBar = ::FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
    if (!toolBar) return 1;
    ::SendMessageW(toolBar, TB_CHECKBUTTON, kAutoReLoadCommand, MAKELPARAM(on ? TRUE : FALSE, 0));
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(kAutoReLoadCommand, BN_CLICKED), reinterpret_cast<LPARAM>(toolBar));
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zelvane_bench rebuild <extra children> <reps> | tick <reps> | startup <runs> |\n"
                 "       trace <runs> | parts | control autoreload-on|autoreload-off|hide\n");
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string mode = argc >= 2 ? argv[1] : "";
    // The traced start makes the program entry's steps itself, this one too.
    if (mode == "trace-once") return TraceOnce();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (mode == "parts") return Parts();
    if (argc < 3) return Usage();
    if (mode == "rebuild" && argc >= 4) return Rebuild(std::atoi(argv[2]), std::atoi(argv[3]));
    if (mode == "tick") return Tick(std::atoi(argv[2]));
    if (mode == "startup") return Startup(std::atoi(argv[2]));
    if (mode == "trace") return Trace(std::atoi(argv[2]));
    if (mode == "control") return DriveRunning(argv[2]);
    return Usage();
}
