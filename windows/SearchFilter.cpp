#include "windows/SearchFilter.h"

#include "base/Error.h"
#include "base/IntParse.h"
#include "processes/ProcessTable.h"

namespace zelvane {

namespace {

constexpr std::string_view kItemSeparator = "-> ";

// True when the text is empty once blanks and control characters (every byte
// up to the space) are taken off both ends.
bool IsBlank(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > ' ') return false;
    }
    return true;
}

}  // namespace

std::string UpperLatin(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
    }
    return out;
}

std::vector<std::string> ProcNamesFromTable(const GridModel& table) {
    std::vector<std::string> names;
    const int first = table.FixedRows();
    names.reserve(static_cast<std::size_t>(table.RowCount() > first ? table.RowCount() - first : 0));
    for (int row = first; row < table.RowCount(); ++row) names.push_back(table.Cell(0, row));
    return names;
}

std::vector<RowKey> ProcKeysFromTable(const GridModel& table) {
    std::vector<RowKey> keys;
    const int first = table.FixedRows();
    keys.reserve(static_cast<std::size_t>(table.RowCount() > first ? table.RowCount() - first : 0));
    for (int row = first; row < table.RowCount(); ++row) keys.push_back(table.Key(row));
    return keys;
}

std::string ProcItemText(int index, std::string_view name) {
    std::string item = std::to_string(index + 1);
    item += kItemSeparator;
    item += name;
    return item;
}

std::vector<int> FilterProcIndices(const std::vector<std::string>& names, std::string_view filter) {
    std::vector<int> chosen;
    const bool all = IsBlank(filter);
    const std::string wanted = UpperLatin(filter);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (all || UpperLatin(names[i]).find(wanted) != std::string::npos) chosen.push_back(static_cast<int>(i));
    }
    return chosen;
}

ProcItem ParseProcItem(std::string_view item) {
    const auto arrow = item.find("->");
    if (arrow == std::string_view::npos) throw Error(FormatMessage1(kNotAnIntegerText, ""));
    ProcItem parsed{StrToInt(std::string(item.substr(0, arrow))), {}};
    if (item.substr(arrow).starts_with(kItemSeparator)) parsed.name = item.substr(arrow + kItemSeparator.size());
    return parsed;
}

bool TableRowHoldsItem(const GridModel& table, int row, RowKey key) {
    if (row < table.FixedRows() || row >= table.RowCount()) return true;
    return RowHoldsProcess(table, row, key);
}

}  // namespace zelvane
