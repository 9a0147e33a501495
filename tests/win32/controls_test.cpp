// The control wrappers on a panel of their own: UTF-8 text through the wide
// calls and back, a list item's data kept with its item, and the error for
// a text outside the items.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Error.h"
#include "gui/Controls.h"
#include "gui/Surface.h"

namespace zelvane {
namespace {

// Names and paths outside the ANSI code page, and a character outside the
// Basic Multilingual Plane (a surrogate pair in UTF-16).
const std::string kCyrillic = "Выгрузить процесс ёЁ";
const std::string kWide = "файл_\xF0\x9F\x98\x80.exe";

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, host_);
        panel_ = std::make_unique<Panel>(host_, 0, 0, 300, 300, RGB(212, 208, 200), Panel::Bevel::None);
    }
    void TearDown() override {
        panel_.reset();
        ::DestroyWindow(host_);
    }
    Surface& On() { return *panel_; }

private:
    HWND host_ = nullptr;
    std::unique_ptr<Panel> panel_;
};

TEST_F(Controls, TextComesBackAsItWasSet) {
    Edit edit(On(), 0, 0, 200, 20);
    for (const std::string& text : {kCyrillic, kWide, std::string()}) {
        edit.SetText(text);
        EXPECT_EQ(text, edit.Text());
        EXPECT_EQ(text, WindowText(edit.Handle()));
    }
    CheckBox box(On(), 0, 30, 200, 17, kCyrillic);
    EXPECT_EQ(kCyrillic, box.Text());
    EXPECT_FALSE(box.Checked());
    box.SetChecked(true);
    EXPECT_TRUE(box.Checked());
}

TEST_F(Controls, ListItemsKeepTheirTextAndData) {
    ListBox list(On(), 0, 0, 200, 200, LBS_NOTIFY | LBS_HASSTRINGS);
    list.Reserve(3, 32);
    const std::string texts[3] = {"1-> " + kCyrillic, "2-> " + kWide, "3-> x"};
    for (int i = 0; i < 3; ++i) {
        const int at = list.Add(texts[i]);
        ASSERT_EQ(i, at);
        list.SetItemData(at, 0x10000u + static_cast<unsigned>(i));  // identifiers above 16 bits
    }
    ASSERT_EQ(3, list.Count());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(texts[i], list.ItemText(i));
        EXPECT_EQ(0x10000u + static_cast<unsigned>(i), list.ItemData(i));
    }
    list.Clear();
    EXPECT_EQ(0, list.Count());
    EXPECT_EQ(0, list.Add("x"));
    EXPECT_EQ(0u, list.ItemData(0));  // no data left over from the cleared item
}

// (The search window's tests read the error's text, "List index out of
// bounds (-1)", in its error box.)
TEST_F(Controls, ListTextsOutsideTheItemsAreErrors) {
    ListBox list(On(), 0, 0, 200, 200, LBS_NOTIFY | LBS_HASSTRINGS);
    list.Add("a");
    list.Add("b");
    EXPECT_THROW(list.ItemText(-1), Error);
    EXPECT_THROW(list.ItemText(2), Error);
}

TEST_F(Controls, ComboFindsAndSelectsByText) {
    ComboBox combo(On(), 0, 0, 200, 200, CBS_DROPDOWNLIST | CBS_SORT);
    for (const std::string& face : {std::string("System"), kCyrillic, std::string("Arial")}) combo.Add(face);
    const int at = combo.FindExact(kCyrillic);
    ASSERT_GE(at, 0);
    EXPECT_EQ(kCyrillic, combo.ItemText(at));
    EXPECT_EQ(-1, combo.FindExact("Courier"));
    EXPECT_EQ("", combo.ItemText(99));
    combo.SetSelectedIndex(combo.FindExact("System"));
    EXPECT_EQ("System", combo.ItemText(combo.SelectedIndex()));
    EXPECT_EQ("System", combo.Text());
}

}  // namespace
}  // namespace zelvane
