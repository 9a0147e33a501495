#include <gtest/gtest.h>

#include <string>

#include "gui/Dpi.h"
#include "tests/win32/dpi_support.h"

namespace zelvane {
namespace {

using testing::PrefixDpi;

TEST(Dpi, TheProgramRunsPerMonitorAwareAtTheDisplaysDpi) {
    // Under Wine an unaware window looks like an aware one, and Wine 8 calls
    // every program per-monitor aware: ask the system, and read what the
    // program's manifest declares to Windows.
    EXPECT_EQ(ThreadDpiAwareness(), dpi::kPerMonitorAware);
    const HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
                               ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_EQ(SystemDpi(), PrefixDpi());
    const HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(WindowDpi(probe), PrefixDpi());
    ::DestroyWindow(probe);
    EXPECT_EQ(SmallIconSize(), PrefixDpi() * 16 / 96);
}

}  // namespace
}  // namespace zelvane
