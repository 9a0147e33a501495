// What the search window decides without Windows: the names it copies out of
// the process table, the items "N-> name" it lists, the filter that narrows
// them and the way back from an item to its table row and its process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/GridModel.h"

namespace zelvane {

// A copy in which only the Latin letters a..z (bytes 97..122) are raised to
// capitals; every other byte, the bytes of Cyrillic letters included, stays.
std::string UpperLatin(std::string_view text);

// Column 0 of every data row of the process table, in table order: entry i is
// the name in table row i + 1.
std::vector<std::string> ProcNamesFromTable(const GridModel& table);

// The key (process identifier and creation time) of every data row of the
// process table, in table order: entry i is the key of table row i + 1.
std::vector<RowKey> ProcKeysFromTable(const GridModel& table);

// The item of entry `index` (counting from 0): its table row, "-> ", the name.
std::string ProcItemText(int index, std::string_view name);

// The indices of the names that the filter lets through, in table order (the
// search window lists ProcItemText(i, names[i]) for each). A filter made of
// blanks and control characters only lets every name through; any other
// filter, as typed (blanks included), must occur in the name, Latin letters
// compared without case.
std::vector<int> FilterProcIndices(const std::vector<std::string>& names, std::string_view filter);

// An item read back: the table row before the first "->" and the name after
// "-> ". Throws the integer conversion's Error when the row is not a number.
struct ProcItem {
    int row;
    std::string name;
};
ProcItem ParseProcItem(std::string_view item);

// Whether the search window may act on the item of table row `row` that was
// made from the process of key `key`: false when the row now holds another
// process (the table was rebuilt since the list was filled), even one of the
// same name or one that got the same identifier since. A row the table no
// longer has counts as held; selecting it raises the table's own index error.
bool TableRowHoldsItem(const GridModel& table, int row, RowKey key);

}  // namespace zelvane
