// A text grid drawn from a GridModel: one fixed header row, whole-row
// selection with ranges, user-sized columns, lines only around the header, no
// editing. Painting goes through a memory bitmap and happens only when the
// model or the view changed, so a table rebuilt every second never flickers.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/AccessibleModel.h"
#include "base/GridModel.h"
#include "base/SettingsRecord.h"
#include "gui/Handles.h"
#include "gui/Window.h"

namespace zelvane {

class StringGrid : public Window {
public:
    // A table of rows for screen readers (gui/GridAccessible).
    IAccessible* NewAccessibleObject() override;
    // Options of a small, fixed grid (the settings dialog's preview).
    enum Option : unsigned {
        kNoScrollBars = 1u,       // no scroll bars at all
        kFlat = 2u,               // a one-pixel flat border instead of the sunken edge
        kFixedColumnWidths = 4u,  // the user cannot size the columns
    };

    // Position, size and row height in 96-DPI pixels, drawn at the parent's DPI.
    StringGrid(HWND parent, int x, int y, int w, int h, int colCount, int rowCount, int rowHeight = 16,
               unsigned options = 0);

    GridModel& Model() { return model_; }
    const GridModel& Model() const { return model_; }
    // Repaints when the model changed since the last paint; keeps the scroll
    // bar in step. Call after writing to the model.
    void Refresh();

    // Column widths and the row height in pixels of the grid's DPI. A width
    // set in pixels is also kept in 96-DPI pixels, so that at another DPI the
    // column keeps its share of the table.
    int ColWidth(int col) const { return colWidths_.at(static_cast<std::size_t>(col)); }
    void SetColWidth(int col, int width);
    // Makes column `col` as wide as the grid's window leaves it beside the
    // other columns and `spare96` pixels at 96 DPI (the grid's frame, its
    // scroll bar, the lines), and no narrower than kMinColWidth.
    void StretchColumn(int col, int spare96);
    // Widths in 96-DPI pixels, from the first column on: each column's edges
    // are scaled, so the row of columns scales to the scaled length of the row.
    void SetColWidths96(const std::vector<int>& widths);
    int RowHeight() const { return rowHeight_; }

    // The header row's height in client pixels, line included.
    int HeaderHeight() const { return rowHeight_ + kLine; }

    // Fonts, row height, column widths and scroll steps at `dpi`.
    void ApplyDpi(int dpi) override;

    COLORREF Color() const { return color_; }
    COLORREF FixedColor() const { return fixedColor_; }
    COLORREF FontColor() const { return fontColor_; }
    const std::string& FontName() const { return fontName_; }
    HFONT TextFont() const { return font_.Get(); }  // the font the cells are drawn in
    void SetColor(COLORREF c);
    void SetFixedColor(COLORREF c);
    void SetFontColor(COLORREF c);
    void SetFontName(const std::string& face);

    // Rows that fit in the view below the header.
    int VisibleRowCount() const;

    // Selects a data row as a click would (scrolled into view).
    void SelectRow(int row);
    // What a click on data row `row` does (with Shift: `extend`): the focus,
    // then the selection.
    void ClickRow(int row, bool extend);

    // The line under the header row.
    static constexpr int kHeaderLine = 1;
    // Where cell (col, row) is drawn, in client coordinates, also for a
    // row or a column scrolled out of view; col -1: the whole row.
    RECT CellRect(int col, int row) const;
    // The row drawn at client height `y` (0: the header; may be past the
    // last row) and the column at client `x` (-1: none).
    int RowAtY(int y) const { return RowAt(y); }
    int ColumnAtX(int x) const;

    std::function<void()> onDblClick;
    std::function<void(POINT screen)> onContextMenu;

    // Counts full repaints (tests prove that an unchanged table is not redrawn).
    int PaintCount() const { return paints_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    // One handler per kind of message; each answers only its own.
    std::optional<LRESULT> OnScroll(UINT msg, WPARAM wp);
    std::optional<LRESULT> OnMouse(UINT msg, WPARAM wp, LPARAM lp);
    bool OnKey(WPARAM key);  // a key down: whether it moved the selection
    void ScrollVertically(WORD request);
    void ScrollHorizontally(WORD request);
    bool SetSizingCursor(LPARAM lp);
    void LeftButtonDown(int x, int y, WPARAM keys);
    void MouseMove(int x, int y);
    void ContextMenu(POINT screen);
    void DrawCell(HDC dc, int col, int row, const RECT& r, bool selected);
    int RowAt(int y) const;
    int SizingColumnAt(int x, int y) const;
    void UpdateScrollBars();
    void ScrollTo(int topRow);
    void EnsureVisible(int row);
    void MoveCurrent(int row, bool extend);
    void Invalidate();
    // Pixel widths from the 96-DPI ones, by scaled column edges.
    void ScaleColumnWidths();

    static constexpr int kLine = 1;  // the line around the header cells and between the columns

    GridModel model_;
    std::vector<int> colWidths_;
    std::vector<int> colWidths96_;
    int rowHeight96_;
    int rowHeight_;
    unsigned options_;
    int leftPixel_ = 0;
    COLORREF color_ = kDefaultTableColor;
    COLORREF fixedColor_ = kDefaultHeaderColor;
    COLORREF fontColor_ = kDefaultFontColor;
    std::string fontName_ = kDefaultFontName;
    Font font_;
    unsigned long long paintedRevision_ = ~0ull;
    int paints_ = 0;
    int sizingCol_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    bool selecting_ = false;
    // What readers were last told about the table (gui/GridAccessible).
    GridAccState readersTold_;
    void TellReaders();
};

}  // namespace zelvane
