// Fills a whole process table from a list of entries in one rebuild, as a
// pass over the system's processes does.
#pragma once

#include <vector>

#include "processes/ProcessTable.h"

namespace zelvane::testing {

template <typename Range>
void RebuildProcessTable(GridModel& table, const Range& entries) {
    ProcessTableRebuild rebuild(table);
    for (const ProcessEntry& e : entries) rebuild.Add(e);
    rebuild.Finish();
}

// A process table with its header row, and the rows of `entries` when given.
inline GridModel ProcessTableOf(const std::vector<ProcessEntry>& entries = {}) {
    GridModel table(kProcessColumnCount, 2);
    WriteProcessTableHeader(table);
    if (!entries.empty()) RebuildProcessTable(table, entries);
    return table;
}

}  // namespace zelvane::testing
