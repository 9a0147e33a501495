#include "processes/ProcessTable.h"

#include <charconv>
#include <cstring>

namespace zelvane {

namespace {

NumberCell Decimal(long long value) {
    NumberCell cell{};
    const auto r = std::to_chars(cell.text, cell.text + sizeof cell.text, value);
    cell.size = static_cast<std::size_t>(r.ptr - cell.text);
    return cell;
}

void Append(NumberCell& cell, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    std::memcpy(cell.text + cell.size, suffix, n);
    cell.size += n;
}

}  // namespace

std::string_view ProcessNameOf(std::string_view exeFile) {
    const auto sep = exeFile.find_last_of("\\:");
    std::string_view name = sep == std::string_view::npos ? exeFile : exeFile.substr(sep + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return name;
}

NumberCell FormatPid(std::uint32_t pid) { return Decimal(pid); }

NumberCell FormatPidHex(std::uint32_t pid) {
    static const char kDigits[] = "0123456789ABCDEF";
    NumberCell cell{};
    for (int i = 7; i >= 0; --i, pid >>= 4) cell.text[i] = kDigits[pid & 0xF];
    cell.size = 8;
    return cell;
}

NumberCell FormatThreads(std::uint32_t threads) { return Decimal(threads); }

NumberCell FormatPriority(std::int32_t priBase) {
    NumberCell cell = Decimal(priBase);
    switch (priBase) {
        case 4: Append(cell, " (Idle)"); break;
        case 8: Append(cell, " (Norm)"); break;
        case 13: Append(cell, " (High)"); break;
        case 24: Append(cell, " (Real)"); break;
        default: break;
    }
    return cell;
}

namespace {

// A byte that continues a UTF-8 sequence (10xxxxxx).
bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string_view RepairPath(std::string_view path) {
    // Positions count characters, not bytes: a character of several bytes
    // before the colon is kept or dropped whole.
    const auto colon = path.find(':');
    if (colon == std::string_view::npos) return path;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!ContinuesCharacter(path[i])) ++characters;
    }
    if (characters < 2) return path;
    std::size_t start = colon - 1;
    while (start > 0 && ContinuesCharacter(path[start])) --start;
    return path.substr(start);
}

void WriteProcessTableHeader(GridModel& table) {
    static const char* const kHeaders[kProcessColumnCount] = {
        "Имя программы", "ProcessID32", "ProcessID", "Потоки", "Приоритет", "Путь к программе",
    };
    for (int col = 0; col < kProcessColumnCount; ++col) table.SetCell(col, 0, kHeaders[col]);
}

ProcessTableRebuild::ProcessTableRebuild(GridModel& table)
    : table_(table),
      selectedKey_(table.Key(table.CurrentRow())),
      followsKey_(table.CurrentRow() >= table.FixedRows() && !table.Cell(kColPid, table.CurrentRow()).empty()),
      oldCurrent_(table.CurrentRow()),
      oldAnchorOffset_((table.CurrentRow() == table.SelTop() ? table.SelBottom() : table.SelTop()) -
                       table.CurrentRow()),
      oldTop_(table.TopRow()) {}

ProcessTableRebuild::~ProcessTableRebuild() { Finish(); }

void ProcessTableRebuild::Add(const ProcessEntry& entry) {
    const int row = count_ + 1;
    // The table grows with the pass; rows of a longer earlier pass are
    // overwritten in place and the surplus is cut at the end.
    if (row >= 2 && table_.RowCount() < row + 1) table_.SetRowCount(row + 1);
    const NumberCell pid = FormatPid(entry.pid);
    table_.SetCell(kColName, row, ProcessNameOf(entry.exeFile));
    table_.SetCell(kColPid, row, pid.View());
    table_.SetCell(kColPidHex, row, FormatPidHex(entry.pid).View());
    table_.SetCell(kColThreads, row, FormatThreads(entry.threads).View());
    table_.SetCell(kColPriority, row, FormatPriority(entry.priBase).View());
    table_.SetCell(kColPath, row, RepairPath(entry.path));
    table_.SetKey(row, RowKey{entry.pid, entry.created});
    count_ = row;
    if (newCurrent_ == 0 && followsKey_ && RowKey{entry.pid, entry.created} == selectedKey_) newCurrent_ = row;
}

void ProcessTableRebuild::Finish() noexcept {
    if (finished_) return;
    finished_ = true;
    if (count_ == 0) return;
    if (count_ >= 2) table_.SetRowCount(count_ + 1);
    const int first = table_.FixedRows();
    const int last = table_.RowCount() - 1;
    auto clamp = [&](int row) { return row < first ? first : (row > last ? last : row); };
    const int current = clamp(newCurrent_ != 0 ? newCurrent_ : oldCurrent_);
    table_.SelectRow(clamp(current + oldAnchorOffset_));
    table_.ExtendSelection(current);
    table_.SetTopRow(oldTop_);
}

bool RowHoldsProcess(const GridModel& table, int row, RowKey key) {
    return row >= table.FixedRows() && row < table.RowCount() && table.Key(row) == key;
}

}  // namespace zelvane
