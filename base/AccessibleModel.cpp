#include "base/AccessibleModel.h"

#include <algorithm>
#include <tuple>

namespace zelvane {

std::optional<int> TableRowOfChild(long childId, int rowCount) {
    if (childId < 1 || childId > rowCount) return std::nullopt;
    return static_cast<int>(childId - 1);
}

int ReadableRowCount(const GridModel& table) {
    for (int row = table.RowCount(); row > 0; --row) {
        for (int col = 0; col < table.ColCount(); ++col) {
            if (!table.Cell(col, row - 1).empty()) return row;
        }
    }
    return 0;
}

std::optional<int> RowColumnOfChild(long childId, int colCount) {
    if (childId < 1 || childId > colCount) return std::nullopt;
    return static_cast<int>(childId - 1);
}

std::string RowName(const GridModel& table, int row) {
    std::string name;
    for (int col = 0; col < table.ColCount(); ++col) {
        const std::string& cell = table.Cell(col, row);
        if (cell.empty()) continue;
        if (!name.empty()) name += ", ";
        name += cell;
    }
    return name;
}

RowBinding BindRow(const GridModel& table, int row) { return RowBinding{table.Key(row), row}; }

std::optional<int> FindBoundRow(const GridModel& table, const RowBinding& binding) {
    if (binding.key == RowKey{}) {
        if (binding.row < 0 || binding.row >= table.RowCount()) return std::nullopt;
        return binding.row;
    }
    if (binding.row >= table.FixedRows() && table.Key(binding.row) == binding.key) return binding.row;
    for (int row = table.FixedRows(); row < table.RowCount(); ++row) {
        if (table.Key(row) == binding.key) return row;
    }
    return std::nullopt;
}

SurfaceChild ClassifySurfaceChild(long childId, int itemCount, int windowCount) {
    if (childId == kChildSelf) return {SurfaceChild::Kind::Self, 0};
    if (childId < 0 || itemCount < 0 || windowCount < 0) return {};
    if (childId <= itemCount) return {SurfaceChild::Kind::Item, static_cast<int>(childId - 1)};
    if (childId - itemCount <= windowCount) {
        return {SurfaceChild::Kind::Window, static_cast<int>(childId - itemCount - 1)};
    }
    return {};
}

namespace {

// Whether the vertical middle of `a` lies within the height of `b`.
bool MiddleWithin(const Box& a, const Box& b) {
    const long twiceMiddle = static_cast<long>(a.top) + a.bottom;
    return twiceMiddle >= 2L * b.top && twiceMiddle < 2L * b.bottom;
}

bool OnOneLine(const Box& a, const Box& b) { return MiddleWithin(a, b) && MiddleWithin(b, a); }

}  // namespace

std::vector<int> ReadingOrder(const std::vector<Box>& boxes) {
    std::vector<int> order(boxes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    const auto at = [&](int i) -> const Box& { return boxes[static_cast<std::size_t>(i)]; };
    // (Equal places keep the boxes' own order.)
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return std::tie(at(a).top, at(a).left, a) < std::tie(at(b).top, at(b).left, b);
    });
    // Each line begins with its topmost box and takes the boxes after it
    // that share its line; then the line reads from left to right.
    for (auto line = order.begin(); line != order.end();) {
        auto end = std::find_if(line + 1, order.end(), [&](int i) { return !OnOneLine(at(*line), at(i)); });
        std::sort(line, end, [&](int a, int b) {
            return std::tie(at(a).left, at(a).top, a) < std::tie(at(b).left, at(b).top, b);
        });
        line = end;
    }
    return order;
}

std::optional<int> ToolButtonOfChild(long childId, const std::vector<bool>& isSeparator) {
    if (childId < 1) return std::nullopt;
    long seen = 0;
    for (std::size_t i = 0; i < isSeparator.size(); ++i) {
        if (!isSeparator[i] && ++seen == childId) return static_cast<int>(i);
    }
    return std::nullopt;
}

int ToolButtonChildCount(const std::vector<bool>& isSeparator) {
    return static_cast<int>(std::count(isSeparator.begin(), isSeparator.end(), false));
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string SpokenText(std::string_view text) {
    std::string spoken;
    spoken.reserve(text.size());
    bool blank = false;
    for (const char c : Trimmed(text)) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank) spoken += ' ';
        blank = false;
        spoken += c;
    }
    return spoken;
}

std::string FieldLabelOf(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return {};
    return SpokenText(text.substr(0, colon + 1));
}

GridAccState GridAccStateOf(const GridModel& table) {
    return GridAccState{table.RowCount(), table.CurrentRow(), table.Key(table.CurrentRow()),
                        table.SelTop(),   table.SelBottom(),  table.Revision(), true};
}

namespace {

// Rows of [from, to] outside [otherFrom, otherTo] and inside the table.
void RowsOutside(int from, int to, int otherFrom, int otherTo, int rowCount, std::vector<int>& rows) {
    for (int row = from; row <= to && row < rowCount; ++row) {
        if (row < otherFrom || row > otherTo) rows.push_back(row);
    }
}

void SelectionEvents(const GridAccState& before, const GridAccState& after, bool currentMoved,
                     std::vector<GridEvent>& out) {
    using Kind = GridEvent::Kind;
    const bool rangeChanged = after.selTop != before.selTop || after.selBottom != before.selBottom;
    if (!currentMoved && !rangeChanged) return;
    if (after.selTop == after.selBottom) {
        out.push_back({Kind::Selection, after.current});
        return;
    }
    std::vector<int> added, removed;
    RowsOutside(after.selTop, after.selBottom, before.selTop, before.selBottom, after.rowCount, added);
    RowsOutside(before.selTop, before.selBottom, after.selTop, after.selBottom, after.rowCount, removed);
    if (added.size() + removed.size() > static_cast<std::size_t>(kMaxSelectionEvents)) {
        out.push_back({Kind::SelectionWithin, -1});
        return;
    }
    for (const int row : added) out.push_back({Kind::SelectionAdd, row});
    for (const int row : removed) out.push_back({Kind::SelectionRemove, row});
}

}  // namespace

std::vector<GridEvent> GridEventsSince(const GridAccState& before, const GridModel& now) {
    using Kind = GridEvent::Kind;
    std::vector<GridEvent> out;
    if (!before.valid || before.revision == now.Revision()) return out;
    const GridAccState after = GridAccStateOf(now);
    const int common = std::min(before.rowCount, after.rowCount);
    for (int row = now.FixedRows(); row < common; ++row) {
        if (now.RowRevision(row) > before.revision) out.push_back({Kind::NameChange, row});
    }
    if (before.rowCount != after.rowCount) out.push_back({Kind::Reorder, -1});
    const bool currentMoved = after.current != before.current || !(after.currentKey == before.currentKey);
    SelectionEvents(before, after, currentMoved, out);
    if (currentMoved) out.push_back({Kind::Focus, after.current});
    return out;
}

}  // namespace zelvane
