// The benchmark's traced start: it makes every step of the program entry in
// its order and ends at the first paint of the whole window with the table
// filled; its text survives the trip from the traced child to the summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bench/StartTrace.h"

namespace zelvane::bench {
namespace {

TEST(StartTrace, TracesEveryStepInOrderUpToTheFirstPaint) {
    const StartTrace trace = TraceStart();
    ASSERT_FALSE(trace.marks.empty()) << "another Zelvane is running";
    EXPECT_EQ(trace.marks.front().what, kTraceLoader);
    EXPECT_EQ(trace.marks.back().what, kTraceFirstPaint);
    std::size_t at = 1;
    for (const char* step : kTraceSteps) {
        ASSERT_LT(at, trace.marks.size());
        EXPECT_EQ(trace.marks[at++].what, step);
    }
    // The window's own paint comes between the show and the end, and the
    // marks follow each other in time.
    const auto paints = std::count_if(trace.marks.begin() + static_cast<std::ptrdiff_t>(at), trace.marks.end(),
                                      [](const TraceMark& m) { return m.what == "WM_PAINT ZelvaneForm"; });
    EXPECT_GE(paints, 1);
    for (std::size_t i = 1; i < trace.marks.size(); ++i) {
        EXPECT_GE(trace.marks[i].endUs, trace.marks[i - 1].endUs) << trace.marks[i].what;
        EXPECT_GE(trace.marks[i].tookUs, 0) << trace.marks[i].what;
    }
    EXPECT_GT(trace.tableRows, 2);  // the header and at least this process and the system services

    const StartTrace back = ParseTrace("a line of the child's own\r\n" + FormatTrace(trace));
    ASSERT_EQ(back.marks.size(), trace.marks.size());
    for (std::size_t i = 0; i < back.marks.size(); ++i) {
        EXPECT_EQ(back.marks[i].what, trace.marks[i].what);
        EXPECT_NEAR(back.marks[i].endUs, trace.marks[i].endUs, 0.1);
    }
    EXPECT_EQ(back.tableRows, trace.tableRows);
    const std::string summary = SummarizeTraces({trace, back});
    EXPECT_NE(summary.find("trace runs=2"), std::string::npos);
    EXPECT_NE(summary.find("centre and show"), std::string::npos);
}

}  // namespace
}  // namespace zelvane::bench
