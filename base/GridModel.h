// The data behind a text grid: cells, row count, one fixed header row, the
// selected range of rows and the first visible data row, and per data row the
// key of what the row was made from. Platform-free, so the process table's
// rules can be tested without a window; the Win32 grid control in gui/ draws it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

// The narrowest a grid's column is, in pixels: a drag stops there, and so does
// a width worked out by a rule (a column is never narrower, never negative).
inline constexpr int kMinColWidth = 2;

// The width of column `col` when it takes what `total` pixels leave after the
// other columns of `widths` and `spare`; where they leave less, the narrowest
// column (kMinColWidth) rather than a negative width.
int StretchedColumnWidth(int total, const std::vector<int>& widths, int col, int spare);

// What a data row was made from, kept beside its cells for whoever acts on the
// row later: an identifier that its source may give out again, and the
// creation time that tells a later holder of the same identifier apart (0 when
// unknown). A row that was never given one, the header row among them, holds
// {0, 0}.
struct RowKey {
    std::uint32_t id = 0;
    std::uint64_t created = 0;
    friend bool operator==(const RowKey&, const RowKey&) = default;
};

class GridModel {
public:
    GridModel(int colCount, int rowCount, int fixedRows = 1);

    int ColCount() const { return colCount_; }
    int RowCount() const { return static_cast<int>(cells_.size()); }
    int FixedRows() const { return fixedRows_; }

    // Grows or cuts the table; the keys go with their rows, and grown rows
    // have none. Cut: the selection and the top row are kept inside the table
    // (clamped to the last row).
    void SetRowCount(int rows);

    const std::string& Cell(int col, int row) const;
    // Writes a cell; an equal text is left alone (no revision, no copy), and a
    // changed one reuses the cell's storage.
    void SetCell(int col, int row, std::string_view text);
    const std::vector<std::string>& Row(int row) const { return cells_.at(static_cast<std::size_t>(row)); }

    // The key of a row; {0, 0} for a row outside the table.
    const RowKey& Key(int row) const;
    // Sets the key of a data row. Keys are not drawn: no revision. Throws
    // Error for a row outside the data rows ("Grid index out of range").
    void SetKey(int row, RowKey key);

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
    // The revision at which a row's cells last changed (a grown row: when it
    // was added); 0 for a row outside the table.
    unsigned long long RowRevision(int row) const;

private:
    int ClampRow(int row) const;

    int colCount_;
    int fixedRows_;
    std::vector<std::vector<std::string>> cells_;
    std::vector<RowKey> keys_;  // one per row, in step with cells_
    std::vector<unsigned long long> rowRevisions_;  // one per row, in step with cells_
    int current_;
    int anchor_;
    int topRow_;
    unsigned long long revision_ = 0;
};

}  // namespace zelvane
