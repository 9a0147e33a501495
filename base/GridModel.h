// The data behind a text grid: cells, row count, one fixed header row, the
// selected range of rows and the first visible data row. Platform-free, so the
// process table's rules can be tested without a window; the Win32 grid control
// in gui/ draws it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

class GridModel {
public:
    GridModel(int colCount, int rowCount, int fixedRows = 1);

    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(cells_.size()); }
    int FixedRows() const { return fixedRows_; }

    // Grows or cuts the table. Cut: the selection and the top row are kept
    // inside the table (clamped to the last row).
    void SetRowCount(int rows);

    const std::string& Cell(int col, int row) const;
    // Writes a cell; an equal text is left alone (no revision, no copy), and a
    // changed one reuses the cell's storage.
    void SetCell(int col, int row, std::string_view text);
    const std::vector<std::string>& Row(int row) const { return cells_.at(static_cast<std::size_t>(row)); }

    // Whole-row selection: the range [SelTop, SelBottom] of data rows; Row()
    // is the current row (one end of the range).
    int CurrentRow() const { return current_; }
    int SelTop() const { return anchor_ < current_ ? anchor_ : current_; }
    int SelBottom() const { return anchor_ < current_ ? current_ : anchor_; }
    // Makes `row` the current and only selected row. Throws Error for a row
    // outside the data rows ("Grid index out of range").
    void SelectRow(int row);
    // Extends the selection from the anchor to `row`.
    void ExtendSelection(int row);

    int TopRow() const { return topRow_; }
    void SetTopRow(int row);

    // Bumped at every change, so that a view can tell whether to repaint.
    unsigned long long Revision() const { return revision_; }

private:
    int ClampRow(int row) const;

    int colCount_;
    int fixedRows_;
    std::vector<std::vector<std::string>> cells_;
    int current_;
    int anchor_;
    int topRow_;
    unsigned long long revision_ = 0;
};

}  // namespace zelvane
