// The process table: six text columns per process (name, identifier in decimal
// and in hexadecimal, threads, base priority, path) and the process's key in a
// GridModel with one header row, rebuilt from a snapshot one entry at a time.
// Platform-free: the snapshot walk in ProcessSnapshot feeds it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/GridModel.h"

namespace zelvane {

// Columns of the process table.
enum ProcessColumn : int {
    kColName = 0,
    kColPid = 1,
    kColPidHex = 2,
    kColThreads = 3,
    kColPriority = 4,
    kColPath = 5,
    kProcessColumnCount = 6,
};

// One process as the snapshot reports it. Text is UTF-8; `path` is the raw
// path (empty when unknown), repaired when the row is written. `created` is
// the creation time (FILETIME units), 0 where it cannot be read.
struct ProcessEntry {
    std::uint32_t pid = 0;
    std::uint32_t threads = 0;
    std::int32_t priBase = 0;
    std::string exeFile;
    std::string path;
    std::uint64_t created = 0;
};

// Room for the longest number cell ("-2147483648 (Idle)" and the like).
struct NumberCell {
    char text[24];
    std::size_t size;
    std::string_view View() const { return {text, size}; }
};

// Column 0: the part after the last backslash or colon, without the extension
// (from the last dot of that part on). A name without a dot stays whole.
std::string_view ProcessNameOf(std::string_view exeFile);
// Column 1: unsigned decimal.
NumberCell FormatPid(std::uint32_t pid);
// Column 2: eight upper-case hexadecimal digits.
NumberCell FormatPidHex(std::uint32_t pid);
// Column 3: decimal.
NumberCell FormatThreads(std::uint32_t threads);
// Column 4: "4 (Idle)", "8 (Norm)", "13 (High)", "24 (Real)", else the number.
NumberCell FormatPriority(std::int32_t priBase);
// Column 5: when the first colon has two or more characters before it, the
// text from the character before the colon (the drive letter) on; otherwise
// unchanged. Characters, not bytes: a non-ASCII character is never cut.
// "\??\C:\x" -> "C:\x".
std::string_view RepairPath(std::string_view path);

// One rebuild of the table. Construct it before the walk, Add() every entry in
// snapshot order, then Finish(). Rows are overwritten in place (a cell whose
// text did not change is not touched); the header row never is. Each row's
// key is its process's identifier and creation time. Row count: a
// pass with N >= 2 entries leaves exactly N data rows; a pass with one entry
// keeps the row count; a pass with none touches nothing.
//
// The selection is restored by Finish() (or by the destructor when the walk
// was cut short by an error): it stays on the process it was on, found by its
// whole key (a process that took over the identifier of the selected one is
// another process), or, when that process is gone, on the same row number clamped to
// the new table; a range keeps its extent around the current row. The top row
// is kept (clamped).
class ProcessTableRebuild {
public:
    explicit ProcessTableRebuild(GridModel& table);
    ~ProcessTableRebuild();
    ProcessTableRebuild(const ProcessTableRebuild&) = delete;
    ProcessTableRebuild& operator=(const ProcessTableRebuild&) = delete;

    // Writes the next row (1, 2, ...).
    void Add(const ProcessEntry& entry);
    // Ends the pass: cuts the rows of a longer earlier pass, restores the
    // selection and the top row. Idempotent.
    void Finish() noexcept;

    int Count() const { return count_; }

private:
    GridModel& table_;
    RowKey selectedKey_;       // the key of the current row before the pass
    bool followsKey_;          // the current row held a process
    int oldCurrent_;
    int oldAnchorOffset_;      // anchor row minus current row
    int oldTop_;
    int newCurrent_ = 0;       // row where the selected process was written
    int count_ = 0;
    bool finished_ = false;
};

// Writes the header row ("Имя программы", "ProcessID32", ...).
void WriteProcessTableHeader(GridModel& table);

// Whether data row `row` still holds the process whose key (identifier and
// creation time) was read from it earlier: false when a rebuild since has put
// another process there, also one that got the same identifier after the
// first one ended, and for a row the table does not have.
bool RowHoldsProcess(const GridModel& table, int row, RowKey key);

}  // namespace zelvane
