#include "processes/ProcessControlWin32.h"

#include "base/Text.h"
#include "processes/ProcessSnapshot.h"
#include "sys/Handles.h"

namespace zelvane {

namespace {

class Win32Process : public OpenedProcess {
public:
    explicit Win32Process(HANDLE process) : process_(process) {}

    std::optional<std::uint64_t> CreationTime() override { return ProcessCreationTime(process_.Get()); }
    bool Terminate(std::uint32_t exitCode) override { return ::TerminateProcess(process_.Get(), exitCode) != FALSE; }
    void SetPriorityClass(std::uint32_t priorityClass) override { ::SetPriorityClass(process_.Get(), priorityClass); }

private:
    KernelHandle process_;
};

}  // namespace

bool ProcessControlWin32::Confirm() {
    const HWND owner = owner_ ? owner_() : nullptr;
    const HWND focus = ::GetFocus();
    const std::wstring text = Widen(kKillConfirmText);
    const std::wstring caption = Widen(kKillConfirmCaption);
    const int answer = ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONWARNING);
    // The user goes on where the question found them: a Delete meant for the
    // window they were in must not reach another one.
    if (owner && ::IsWindow(owner) && ::IsWindowVisible(owner)) {
        if (::GetActiveWindow() != owner) ::SetActiveWindow(owner);
        if (focus && ::IsWindow(focus) && ::IsChild(owner, focus) && ::GetFocus() != focus) ::SetFocus(focus);
    }
    return answer == IDYES;
}

std::unique_ptr<OpenedProcess> ProcessControlWin32::Open(std::uint32_t pid, ProcessRight right, bool withTimes) {
    const DWORD act = right == ProcessRight::Terminate ? PROCESS_TERMINATE : PROCESS_SET_INFORMATION;
    HANDLE process = ::OpenProcess(withTimes ? act | PROCESS_QUERY_LIMITED_INFORMATION : act, FALSE, pid);
    // Windows before Vista refuses the limited right as unknown.
    if (!process && withTimes && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        process = ::OpenProcess(act | PROCESS_QUERY_INFORMATION, FALSE, pid);
    }
    if (!process) return nullptr;
    return std::make_unique<Win32Process>(process);
}

}  // namespace zelvane
