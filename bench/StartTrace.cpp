#include "bench/StartTrace.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

#include "app/ProgramWindows.h"
#include "app/main.h"
#include "bench/Harness.h"
#include "cpu/CpuUsageSamplerWin32.h"
#include "gui/Application.h"

namespace zelvane::bench {

namespace {

// Microseconds from the creation of this process to the moment of `Now()`.
class SinceCreation {
public:
    SinceCreation() {
        FILETIME created, exited, kernel, user, now;
        ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
        ::GetSystemTimeAsFileTime(&now);
        origin_ = Now();
        atOriginUs_ = static_cast<double>(Ticks(now) - Ticks(created)) / 10;
    }
    double At(LONGLONG t) const { return atOriginUs_ + Microseconds(t - origin_); }

private:
    static LONGLONG Ticks(const FILETIME& t) {
        return (static_cast<LONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    }
    LONGLONG origin_ = 0;
    double atOriginUs_ = 0;
};

std::string MessageName(UINT message) {
    switch (message) {
    case WM_PAINT: return "WM_PAINT";
    case WM_TIMER: return "WM_TIMER";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_NCMOUSEMOVE: return "WM_NCMOUSEMOVE";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_NULL: return "WM_NULL";
    }
    return "message 0x" + [message] {
        char hex[12];
        std::snprintf(hex, sizeof hex, "%04X", message);
        return std::string(hex);
    }();
}

std::string WindowClass(HWND hwnd) {
    if (!hwnd) return "(thread)";
    wchar_t name[64];
    const int n = ::GetClassNameW(hwnd, name, 64);
    std::string narrow;
    for (int i = 0; i < n; ++i) narrow += name[i] < 128 ? static_cast<char>(name[i]) : '?';
    return narrow;
}

// Dispatches the messages of the start until the window and all its controls
// have painted, one mark per message. The windows are looked at only after a
// paint and when the queue is empty, so that the looking costs the start little.
void TraceUntilPainted(HWND main, const SinceCreation& clock, StartTrace& trace) {
    for (;;) {
        MSG msg;
        const LONGLONG began = Now();
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (Painted(main)) return;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            const LONGLONG waited = Now();
            trace.marks.push_back({"(waiting)", clock.At(waited), Microseconds(waited - began)});
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        const LONGLONG done = Now();
        trace.marks.push_back(
            {MessageName(msg.message) + " " + WindowClass(msg.hwnd), clock.At(done), Microseconds(done - began)});
        if (msg.message == WM_PAINT && Painted(main)) return;
    }
}

}  // namespace

StartTrace TraceStart() {
    const SinceCreation clock;
    StartTrace trace;
    LONGLONG mark = Now();
    trace.marks.push_back({kTraceLoader, clock.At(mark), clock.At(mark)});
    int step = 0;
    const auto stepDone = [&] {
        const LONGLONG t = Now();
        trace.marks.push_back({kTraceSteps[step++], clock.At(t), Microseconds(t - mark)});
        mark = t;
    };

    // The program entry's steps, as it makes them.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    stepDone();
    StartCpuUsageSampler();
    static SystemLoadSampler sampler;
    stepDone();
    Application& app = Application::Get();
    app.Initialize();
    stepDone();
    auto form1 = std::make_unique<TForm1>();
    form1->SetSampler(&sampler);
    stepDone();
    if (!form1->FormCreate("")) return {};
    stepDone();
    auto windows = std::make_unique<ProgramWindows>(*form1);
    form1->SetOtherWindows(windows.get());
    stepDone();
    form1->CenterOnDesktop();
    form1->Show();
    stepDone();

    TraceUntilPainted(form1->Handle(), clock, trace);
    const LONGLONG painted = Now();
    trace.marks.push_back({kTraceFirstPaint, clock.At(painted), Microseconds(painted - mark)});
    trace.tableRows = form1->Table().RowCount();
    form1->SetOtherWindows(nullptr);
    windows.reset();
    form1.reset();
    ShutdownCpuUsageSampler();
    return trace;
}

std::string FormatTrace(const StartTrace& trace) {
    std::string text;
    char line[64];
    for (const TraceMark& m : trace.marks) {
        std::snprintf(line, sizeof line, "mark %.1f %.1f ", m.endUs, m.tookUs);
        text += line + m.what + "\n";
    }
    text += "rows " + std::to_string(trace.tableRows) + "\n";
    return text;
}

StartTrace ParseTrace(const std::string& text) {
    StartTrace trace;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        if (word == "rows") {
            in >> trace.tableRows;
        } else if (word == "mark") {
            TraceMark m;
            in >> m.endUs >> m.tookUs;
            std::getline(in >> std::ws, m.what);
            while (!m.what.empty() && (m.what.back() == '\r' || m.what.back() == ' ')) m.what.pop_back();
            trace.marks.push_back(std::move(m));
        } else {
            std::getline(in, word);  // not ours: the rest of the line goes
        }
    }
    return trace;
}

std::string SummarizeTraces(const std::vector<StartTrace>& traces) {
    // Per name: the end and the time taken in each run (a message's summed
    // over the run, with its count).
    struct Figures {
        std::vector<double> end, took, count;
    };
    std::vector<std::string> order;
    std::map<std::string, Figures> byName;
    for (const StartTrace& t : traces) {
        std::map<std::string, Figures> run;
        for (const TraceMark& m : t.marks) {
            if (std::find(order.begin(), order.end(), m.what) == order.end()) {
                order.push_back(m.what);
            }
            Figures& f = run[m.what];
            if (f.end.empty()) f.end.push_back(0), f.took.push_back(0), f.count.push_back(0);
            f.end[0] = m.endUs;
            f.took[0] += m.tookUs;
            f.count[0] += 1;
        }
        for (auto& [name, f] : run) {
            Figures& all = byName[name];
            all.end.push_back(f.end[0]);
            all.took.push_back(f.took[0]);
            all.count.push_back(f.count[0]);
        }
    }
    std::string text = "trace runs=" + std::to_string(traces.size()) + " (medians; messages summed per run)\n";
    char line[160];
    std::snprintf(line, sizeof line, "%-44s %8s %10s %10s\n", "step or message", "count", "ends ms", "takes ms");
    text += line;
    for (const std::string& name : order) {
        const Figures& f = byName[name];
        std::snprintf(line, sizeof line, "%-44s %8.0f %10.2f %10.2f\n", name.c_str(), Median(f.count),
                      Median(f.end) / 1000, Median(f.took) / 1000);
        text += line;
    }
    return text;
}

}  // namespace zelvane::bench
