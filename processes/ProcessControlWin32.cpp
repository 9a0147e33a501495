#include "processes/ProcessControlWin32.h"

#include "base/Text.h"
#include "sys/Handles.h"

namespace zelvane {

bool ProcessControlWin32::Confirm() {
    const std::wstring text = Widen(kKillConfirmText);
    const std::wstring caption = Widen(kKillConfirmCaption);
    return ::MessageBoxW(owner_, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool ProcessControlWin32::Terminate(std::uint32_t pid, std::uint32_t exitCode) {
    const KernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    return process && ::TerminateProcess(process.Get(), exitCode);
}

void ProcessControlWin32::SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) {
    const KernelHandle process(::OpenProcess(PROCESS_SET_INFORMATION, FALSE, pid));
    if (process) ::SetPriorityClass(process.Get(), priorityClass);
}

}  // namespace zelvane
