#include "tests/win32/ProgramFixture.h"

#include "base/Text.h"

namespace zelvane::testing {

namespace {

constexpr const wchar_t* kVendorPath = L"Software\\QuilbySoft";
constexpr const wchar_t* kSettingsPath = L"Software\\QuilbySoft\\Zelvane";
constexpr const wchar_t* kRunPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool KeyExists(const wchar_t* path) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

}  // namespace

void StoreRawSetting(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, &h, nullptr));
    const RegKey key(h);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size));
}

std::wstring TestDirectory() {
    wchar_t path[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& args, const STARTUPINFOW* handles) {
    const std::wstring path = exe.find(L'\\') == std::wstring::npos ? TestDirectory() + exe : exe;
    std::wstring commandLine = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = handles ? *handles : STARTUPINFOW{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, handles != nullptr, 0, nullptr, nullptr,
                          &si, &pi)) {
        ADD_FAILURE() << "cannot start " << Narrow(path) << ", error " << ::GetLastError();
        return;
    }
    process_.Reset(pi.hProcess);
    KernelHandle thread(pi.hThread);
    pid_ = pi.dwProcessId;
}

bool ChildProcess::Running() const { return process_ && ::WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::WaitExitCode(DWORD ms) const {
    DWORD code = STILL_ACTIVE;
    if (process_ && ::WaitForSingleObject(process_.Get(), ms) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process_.Get(), &code);
    }
    return code;
}

void ChildProcess::End() {
    if (!Running()) return;
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), kPatienceMs);
}

RegistryGuard::RegistryGuard() : hadVendor_(KeyExists(kVendorPath)), hadSettings_(KeyExists(kSettingsPath)) {
    EXPECT_FALSE(hadSettings_) << "the prefix holds settings already; they would be lost";
    hadAutorun_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, kRunPath, L"Zelvane", RRF_RT_ANY, nullptr, nullptr, nullptr) ==
                  ERROR_SUCCESS;
}

RegistryGuard::~RegistryGuard() {
    if (!hadSettings_) ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsPath);
    if (!hadVendor_) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kVendorPath);
    if (!hadAutorun_) ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunPath, L"Zelvane");
}

void StoreSetting(const wchar_t* name, DWORD value) { StoreRawSetting(name, REG_DWORD, &value, sizeof value); }

void StoreSetting(const wchar_t* name, const std::wstring& text) {
    StoreRawSetting(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void StoreQuietSettings() {
    StoreSetting(L"Update", 1000);
    StoreSetting(L"Repaint", 0);
    StoreSetting(L"CPUUpdate", 1000);
    StoreSetting(L"CFon", 0xA8A8A8);
    StoreSetting(L"CHead", 0xC0C0C0);
    StoreSetting(L"CFont", 0x800000);
    StoreSetting(L"Font", std::wstring(L"MS Sans Serif"));
}

ProgramCopy::ProgramCopy(const std::wstring& original, const std::wstring& copyName)
    : path_(TestDirectory() + copyName),
      copied_(::CopyFileW((TestDirectory() + original).c_str(), path_.c_str(), FALSE) != FALSE) {
    if (!copied_) ADD_FAILURE() << "cannot copy " << Narrow(original) << ", error " << ::GetLastError();
}

ProgramCopy::~ProgramCopy() {
    if (copied_) ::DeleteFileW(path_.c_str());
}

}  // namespace zelvane::testing
