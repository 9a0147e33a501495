#include "base/GridModel.h"

#include "base/Error.h"

namespace zelvane {

namespace {
const std::string kEmpty;
const RowKey kNoKey;
}

GridModel::GridModel(int colCount, int rowCount, int fixedRows)
    : colCount_(colCount), fixedRows_(fixedRows), current_(fixedRows), anchor_(fixedRows), topRow_(fixedRows) {
    if (rowCount < fixedRows + 1) rowCount = fixedRows + 1;
    cells_.assign(static_cast<std::size_t>(rowCount), std::vector<std::string>(static_cast<std::size_t>(colCount)));
    keys_.assign(static_cast<std::size_t>(rowCount), RowKey{});
    rowRevisions_.assign(static_cast<std::size_t>(rowCount), 0);
}

int GridModel::ClampRow(int row) const {
    if (row >= RowCount()) row = RowCount() - 1;
    if (row < fixedRows_) row = fixedRows_;
    return row;
}

void GridModel::SetRowCount(int rows) {
    if (rows < fixedRows_ + 1) rows = fixedRows_ + 1;
    if (rows == RowCount()) return;
    cells_.resize(static_cast<std::size_t>(rows), std::vector<std::string>(static_cast<std::size_t>(colCount_)));
    keys_.resize(static_cast<std::size_t>(rows));
    ++revision_;
    rowRevisions_.resize(static_cast<std::size_t>(rows), revision_);
    current_ = ClampRow(current_);
    anchor_ = ClampRow(anchor_);
    topRow_ = ClampRow(topRow_);
}

const std::string& GridModel::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= colCount_) return kEmpty;
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void GridModel::SetCell(int col, int row, std::string_view text) {
    if (row < 0 || row >= RowCount() || col < 0 || col >= colCount_) throw Error("Grid index out of range");
    auto& cell = cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    if (cell == text) return;
    cell.assign(text);
    ++revision_;
    rowRevisions_[static_cast<std::size_t>(row)] = revision_;
}

unsigned long long GridModel::RowRevision(int row) const {
    if (row < 0 || row >= RowCount()) return 0;
    return rowRevisions_[static_cast<std::size_t>(row)];
}

const RowKey& GridModel::Key(int row) const {
    if (row < 0 || row >= RowCount()) return kNoKey;
    return keys_[static_cast<std::size_t>(row)];
}

void GridModel::SetKey(int row, RowKey key) {
    if (row < fixedRows_ || row >= RowCount()) throw Error("Grid index out of range");
    keys_[static_cast<std::size_t>(row)] = key;
}

void GridModel::SelectRow(int row) {
    if (row < fixedRows_ || row >= RowCount()) throw Error("Grid index out of range");
    if (current_ == row && anchor_ == row) return;
    current_ = anchor_ = row;
    ++revision_;
}

void GridModel::ExtendSelection(int row) {
    row = ClampRow(row);
    if (current_ == row) return;
    current_ = row;
    ++revision_;
}

void GridModel::SetTopRow(int row) {
    row = ClampRow(row);
    if (row == topRow_) return;
    topRow_ = row;
    ++revision_;
}

int StretchedColumnWidth(int total, const std::vector<int>& widths, int col, int spare) {
    int left = total - spare;
    for (std::size_t c = 0; c < widths.size(); ++c) {
        if (static_cast<int>(c) != col) left -= widths[c];
    }
    return left > kMinColWidth ? left : kMinColWidth;
}

}  // namespace zelvane
