#include "windows/SearchFilter.h"

#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/GridModel.h"
#include "processes/ProcessTable.h"
#include "tests/common/error_of.h"
#include "tests/common/process_table_fill.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

const std::vector<std::string> kNames = {"notepad", "calc", "my pad", "Блокнот", "win7zip", "NOTEPAD", "блокнот"};

// The items that the search window lists for `filter`.
std::vector<std::string> Filter(std::string_view filter) {
    std::vector<std::string> items;
    for (const int i : FilterProcIndices(kNames, filter)) items.push_back(ProcItemText(i, kNames[std::size_t(i)]));
    return items;
}

}  // namespace

TEST(SearchFilter, UpperLatinRaisesOnlyLatinLetters) {
    EXPECT_EQ("NOTEPAD.EXE 7_{}`@", UpperLatin("notePad.exe 7_{}`@"));
    // Cyrillic letters are bytes of 0x80 and above in UTF-8: left alone.
    EXPECT_EQ("блокнот Ёж", UpperLatin("блокнот Ёж"));
}

TEST(SearchFilter, BlankFiltersListEverythingInTableOrder) {
    const std::vector<std::string> all = {"1-> notepad", "2-> calc",    "3-> my pad", "4-> Блокнот",
                                          "5-> win7zip", "6-> NOTEPAD", "7-> блокнот"};
    EXPECT_EQ(all, Filter(""));
    EXPECT_EQ(all, Filter("   "));
    EXPECT_EQ(all, Filter(" \t\r\n "));
}

TEST(SearchFilter, FilterIsAnUntrimmedSubstring) {
    EXPECT_EQ((std::vector<std::string>{"1-> notepad", "3-> my pad", "6-> NOTEPAD"}), Filter("pad"));
    EXPECT_EQ(std::vector<std::string>{"3-> my pad"}, Filter(" pad"));
    EXPECT_TRUE(Filter("pad ").empty());
}

TEST(SearchFilter, CaseIgnoredForLatinOnly) {
    const std::vector<std::string> notes = {"1-> notepad", "6-> NOTEPAD"};
    EXPECT_EQ(notes, Filter("NOTE"));
    EXPECT_EQ(notes, Filter("note"));
    EXPECT_EQ(notes, Filter("NoTe"));
    EXPECT_EQ(std::vector<std::string>{"4-> Блокнот"}, Filter("Блок"));
    EXPECT_EQ(std::vector<std::string>{"7-> блокнот"}, Filter("блок"));
}

TEST(SearchFilter, OnlyTheNameIsSearched) {
    // Names carry no extension, and the row numbers of the items are not part
    // of the searched text.
    EXPECT_TRUE(Filter(".exe").empty());
    EXPECT_EQ(std::vector<std::string>{"5-> win7zip"}, Filter("7"));
    EXPECT_TRUE(Filter("->").empty());
}

TEST(SearchFilter, ItemsReadBackToTheirRowAndName) {
    const ProcItem item = ParseProcItem(ProcItemText(41, "my -> pad"));
    EXPECT_EQ(42, item.row);
    EXPECT_EQ("my -> pad", item.name);
    EXPECT_EQ(7, ParseProcItem("7-> calc").row);
    EXPECT_THROW(ParseProcItem("calc"), Error);
    EXPECT_EQ("'x' is not a valid integer value", test::ErrorOf([] { ParseProcItem("x-> calc"); }));
}

TEST(SearchFilter, NamesAndKeysComeFromTheRowsBelowTheHeader) {
    std::vector<ProcessEntry> entries(3);
    entries[0] = {4, 1, 8, "System", "", 0};
    entries[1] = {1234, 1, 8, "calc.exe", "", 5555};
    entries[2] = {1240, 1, 8, "calc.exe", "", 6666};
    GridModel table = ProcessTableOf(entries);
    EXPECT_EQ((std::vector<std::string>{"System", "calc", "calc"}), ProcNamesFromTable(table));
    const std::vector<RowKey> keys = ProcKeysFromTable(table);
    EXPECT_EQ((std::vector<RowKey>{{4, 0}, {1234, 5555}, {1240, 6666}}), keys);

    // An item's row still holds its process; now holds another one of the
    // same name; now holds the identifier again, given to a process created
    // since; or is gone (the table's own index error follows).
    EXPECT_TRUE(TableRowHoldsItem(table, 2, keys[1]));
    EXPECT_FALSE(TableRowHoldsItem(table, 2, keys[2]));
    entries[1].created = 7777;
    RebuildProcessTable(table, entries);
    EXPECT_FALSE(TableRowHoldsItem(table, 2, keys[1]));
    EXPECT_TRUE(TableRowHoldsItem(table, 9, keys[1]));
}
