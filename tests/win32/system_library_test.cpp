// The libraries that the program loads at run time come from the system
// folder: copies planted next to the program under their names are never
// loaded, whichever way the system folder is reached.
#include <windows.h>

#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/TrayIcon.h"
#include "base/GridModel.h"
#include "base/Text.h"
#include "processes/ProcessSnapshot.h"
#include "sys/DynCalls.h"
#include "sys/Handles.h"
#include "sys/SystemLibrary.h"
#include "sys/WindowsVersion.h"
#include "tests/win32/ProgramFixture.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

const std::vector<std::wstring> kNames = {L"PSAPI.dll", L"version.dll", L"comdlg32.dll", L"shell32.dll"};

// Copies of the marking library next to the program under those of the names
// that this process has not loaded yet (a library already loaded is what any
// later load by its name gets; under Wine the system's own libraries load
// version.dll), removed again at the end.
class Planted {
public:
    Planted() {
        for (const std::wstring& name : kNames) {
            if (::GetModuleHandleW(name.c_str())) continue;
            const std::wstring path = TestDirectory() + name;
            if (::CopyFileW((TestDirectory() + L"planted_mark.dll").c_str(), path.c_str(), FALSE)) {
                names_.push_back(name);
                paths_.push_back(path);
            }
        }
    }
    ~Planted() {
        for (const std::wstring& path : paths_) ::DeleteFileW(path.c_str());
    }
    Planted(const Planted&) = delete;
    Planted& operator=(const Planted&) = delete;
    bool Has(const std::wstring& name) const { return std::find(names_.begin(), names_.end(), name) != names_.end(); }

private:
    std::vector<std::wstring> names_;
    std::vector<std::wstring> paths_;
};

// Under Wine the system's libraries are Wine's own, which Wine prefers to a
// file of the same name wherever that lies; for the length of the test Wine is
// told to prefer such a file, as Windows does, so that a load by bare name
// would find the planted copy. (Windows has no such key; nothing changes there.)
class PreferFilesUnderWine {
public:
    PreferFilesUnderWine() {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, KEY_SET_VALUE, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        static const wchar_t order[] = L"native,builtin";
        for (const wchar_t* module : kModules) {
            ::RegSetValueExW(key_, module, 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
        }
    }
    ~PreferFilesUnderWine() {
        if (!key_) return;
        for (const wchar_t* module : kModules) ::RegDeleteValueW(key_, module);
        ::RegCloseKey(key_);
    }
    PreferFilesUnderWine(const PreferFilesUnderWine&) = delete;
    PreferFilesUnderWine& operator=(const PreferFilesUnderWine&) = delete;

private:
    static constexpr const wchar_t* kModules[] = {L"psapi", L"version", L"comdlg32", L"shell32"};
    HKEY key_ = nullptr;
};

bool PlantedLibraryRan() {
    const std::wstring name = L"Local\\zelvane_planted_" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE mark = ::OpenEventW(SYNCHRONIZE, FALSE, name.c_str());
    if (mark) ::CloseHandle(mark);
    return mark != nullptr;
}

}  // namespace

TEST(SystemLibraries, ComeFromTheSystemFolderNotFromTheProgramsFolder) {
    const PreferFilesUnderWine preferFiles;
    const Planted planted;
    ASSERT_TRUE(planted.Has(L"PSAPI.dll"));
    ASSERT_TRUE(planted.Has(L"comdlg32.dll"));

    // The program's own uses: the process table (PSAPI), the shell's version
    // and the notification-area call, the colour dialog.
    GridModel table(6, 1);
    SystemProcessSource(IsWinNT()).Rebuild(table);
    EXPECT_GT(table.RowCount(), 1);
    EXPECT_GT(ShellMajorVersion(), 0u);
    NOTIFYICONDATAW none{};
    none.cbSize = sizeof none;
    TrayShell::System().notifyIcon(NIM_DELETE, none);
    EXPECT_NE(nullptr, dyn::ChooseColorW());

    // And every name, by either way to the system folder.
    for (const std::wstring& name : kNames) {
        for (const auto load : {&LoadSystemLibrary, &LoadSystemLibraryByFullPath}) {
            const HMODULE module = load(name.c_str());
            EXPECT_NE(nullptr, module) << Narrow(name);
            if (module) ::FreeLibrary(module);
        }
    }
    EXPECT_FALSE(PlantedLibraryRan());

    // The mark is real: the library, once loaded, leaves it.
    const Library copy(::LoadLibraryW((TestDirectory() + L"planted_mark.dll").c_str()));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(PlantedLibraryRan());
}
