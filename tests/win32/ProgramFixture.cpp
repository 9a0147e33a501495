#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

PROCESS_INFORMATION StartChild(const std::wstring& exeName, const std::wstring& args) {
    std::wstring exe = exeName.find(L'\\') == std::wstring::npos ? TestDirectory() + exeName : exeName;
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start child, error " << ::GetLastError();
    }
    return pi;
}

}  // namespace zelvane::testing
