// A timestamped trace of the program's start, for the benchmark's `trace`
// mode: the steps of the program entry (app/WinMain.cpp) in their order, each
// timed from the creation of the process, then every message dispatched until
// the main window and all its controls have painted. A diagnosis of where the
// time goes, not a figure: the start runs in the benchmark's own process.
#pragma once

#include <string>
#include <vector>

namespace zelvane::bench {

struct TraceMark {
    std::string what;  // a step, or a message: "WM_PAINT ZelvaneForm"
    double endUs = 0;  // when it ended, from the creation of the process
    double tookUs = 0;
};

struct StartTrace {
    std::vector<TraceMark> marks;  // the last one is the first paint
    int tableRows = 0;             // rows of the table when it painted first
};

// The names of the start's steps, in their order; the trace holds each once,
// the messages between the last two.
inline constexpr const char* kTraceLoader = "loader";
inline constexpr const char* kTraceSteps[] = {"common controls", "sampler",     "application window",
                                              "main window",     "form create", "other windows",
                                              "centre and show"};
inline constexpr const char* kTraceFirstPaint = "first paint";

// Runs the start in this process up to the first paint, as the program entry
// does (the windows are destroyed again before it returns). No marks when
// another Zelvane was found running.
StartTrace TraceStart();

// One line per mark ("mark <end us> <took us> <what>", then "rows <n>"), and back.
std::string FormatTrace(const StartTrace& trace);
StartTrace ParseTrace(const std::string& text);

// The medians of several traces: each step by name, and the messages summed
// per run by what they were, in the order they first came.
std::string SummarizeTraces(const std::vector<StartTrace>& traces);

}  // namespace zelvane::bench
