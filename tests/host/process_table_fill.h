// Fills a whole process table from a list of entries in one rebuild, as a
// pass over the system's processes does.
#pragma once

#include "processes/ProcessTable.h"

namespace zelvane::testing {

template <typename Range>
void RebuildProcessTable(GridModel& table, const Range& entries) {
    ProcessTableRebuild rebuild(table);
    for (const ProcessEntry& e : entries) rebuild.Add(e);
    rebuild.Finish();
}

}  // namespace zelvane::testing
