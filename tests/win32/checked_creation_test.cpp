// What the system refuses to create raises the program's error at once, naming
// what failed, instead of leaving a null handle for later calls to stumble on.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/ImageList.h"
#include "gui/StringGrid.h"
#include "gui/Surface.h"
#include "tests/common/error_of.h"

namespace zelvane {
namespace {

using test::ErrorOf;

TEST(CheckedCreation, RefusedCreationsRaiseTheError) {
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, host);
    auto panel = std::make_unique<Panel>(host, 0, 0, 300, 300, kPanelColor, Panel::Bevel::None);
    panel->AddLabel("Label1", 0, 0, "текст");

    // A control of a class nobody registered.
    EXPECT_EQ("Cannot create a control of class ZelvaneNoSuchControl",
              ErrorOf([&] { panel->AddControl(L"ZelvaneNoSuchControl", 0, 0, 0, 0, 10, 10); }));
    // A label the surface does not have; the one it has is found.
    EXPECT_EQ("No label Label2", ErrorOf([&] { panel->FindLabel("Label2"); }));
    EXPECT_EQ("текст", panel->FindLabel("Label1")->text);
    // A bitmap the program does not carry.
    EXPECT_EQ("Cannot load bitmap 9999", ErrorOf([] { LoadBitmapResource(::GetModuleHandleW(nullptr), 9999); }));

    // A window of ours whose parent is gone: its class is registered by then,
    // the window itself is refused.
    const HWND gone = panel->Handle();
    panel.reset();
    ASSERT_FALSE(::IsWindow(gone));
    EXPECT_EQ("Cannot create a window of class ZelvaneGrid",
              ErrorOf([&] { StringGrid grid(gone, 0, 0, 100, 100, 2, 2); }));
    // The class stays usable: the next grid on a live parent is made.
    StringGrid grid(host, 0, 0, 100, 100, 2, 2);
    EXPECT_TRUE(::IsWindow(grid.Handle()));
    ::DestroyWindow(host);
}

}  // namespace
}  // namespace zelvane
