// The platform-free half of the program's screen-reader support: how child
// ids of an accessible object map to table rows, cells, painted items and
// child windows; what a row, a field and a painted text are called; and which
// events a change of the table calls for. The COM objects of gui/ ask these
// functions at every call and keep nothing of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Box.h"
#include "base/GridModel.h"

namespace zelvane {

// The id that names an object itself rather than one of its children.
inline constexpr long kChildSelf = 0;

// ---- Table ------------------------------------------------------------------

// The children of a table are its rows, the header row first: child id
// row + 1. The row of a child id, or nothing for an id outside the table.
std::optional<int> TableRowOfChild(long childId, int rowCount);
inline long TableChildOfRow(int row) { return static_cast<long>(row) + 1; }

// The rows a reader is offered: up to the last row with any text, so that
// the empty rows at the bottom of a small fixed table are not read out.
int ReadableRowCount(const GridModel& table);

// The children of a row are its cells: child id col + 1. The column of a
// child id, or nothing for an id outside the columns.
std::optional<int> RowColumnOfChild(long childId, int colCount);

// A row's name: its cells in column order, as a reader would say them,
// separated by ", " (empty cells are left out).
std::string RowName(const GridModel& table, int row);

// Where a row object finds its row now. A row made from a process is bound
// to that process's key and follows it to whatever row holds it; a row
// without a key (the header, a table that keeps none) is bound to its number.
struct RowBinding {
    RowKey key;
    int row = 0;  // the row the binding was made at, looked at first
};
RowBinding BindRow(const GridModel& table, int row);
// The row that holds the binding's target now, or nothing when it has left
// the table. Never a row of another process.
std::optional<int> FindBoundRow(const GridModel& table, const RowBinding& binding);

// ---- Surfaces -----------------------------------------------------------------

// The children of a surface: its painted items first, then its child windows.
struct SurfaceChild {
    enum class Kind { Self, Item, Window, None };
    Kind kind = Kind::None;
    int index = 0;  // of the item or of the child window
};
SurfaceChild ClassifySurfaceChild(long childId, int itemCount, int windowCount);
inline long SurfaceItemChild(int item) { return static_cast<long>(item) + 1; }
inline long SurfaceWindowChild(int window, int itemCount) { return static_cast<long>(itemCount) + window + 1; }

// The order a sighted user reads the boxes of a surface in: top to bottom,
// and left to right among boxes on one line. Two boxes are on one line when
// the middle of each lies within the height of the other, so that a label
// beside a taller field shares its line while a picture that starts below
// the first lines of a long text comes after that text. Gives the indices
// of `boxes` in that order (equal boxes keep theirs).
std::vector<int> ReadingOrder(const std::vector<Box>& boxes);

// The children of a tool bar are its buttons without the separators. The
// index (among all of the bar's buttons, separators included) of a child id,
// or nothing.
std::optional<int> ToolButtonOfChild(long childId, const std::vector<bool>& isSeparator);
// How many children the bar has.
int ToolButtonChildCount(const std::vector<bool>& isSeparator);

// ---- Names --------------------------------------------------------------------

// A painted text as a reader says it: its lines joined by one space, runs of
// spaces made one, no space at either end.
std::string SpokenText(std::string_view text);

// The label part of a box that carries its label inside its text:
// " Память (Kb): 1234 " gives "Память (Kb):"; a text without a colon gives "".
std::string FieldLabelOf(std::string_view text);

// ---- Events -------------------------------------------------------------------

// What a reader was last told about a table.
struct GridAccState {
    int rowCount = 0;
    int current = 0;
    RowKey currentKey;
    int selTop = 0;
    int selBottom = 0;
    unsigned long long revision = 0;
    bool valid = false;  // false before the first look
};
GridAccState GridAccStateOf(const GridModel& table);

struct GridEvent {
    enum class Kind { NameChange, Reorder, SelectionAdd, SelectionRemove, SelectionWithin, Selection, Focus };
    Kind kind;
    int row;  // -1: the table itself
    friend bool operator==(const GridEvent&, const GridEvent&) = default;
};

// More added or removed rows than this are told as one "selection within".
inline constexpr int kMaxSelectionEvents = 20;

// The events that tell a reader how the table changed since `before`, in the
// order they are sent: changed rows' names, the reorder of a table that grew
// or shrank, the selection, then the focus on the current row. The current
// row counts as changed when its number or its process changed. A table
// whose revision did not move gives none.
std::vector<GridEvent> GridEventsSince(const GridAccState& before, const GridModel& now);

}  // namespace zelvane
