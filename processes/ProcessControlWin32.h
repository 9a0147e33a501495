// The real ProcessControl: the warning box, termination and priority classes
// through the system. Every process handle is closed before the call returns.
#pragma once

#include <windows.h>

#include "processes/ProcessActions.h"

namespace zelvane {

class ProcessControlWin32 : public ProcessControl {
public:
    // `owner`: the window that owns the confirmation box (may be null).
    explicit ProcessControlWin32(HWND owner) : owner_(owner) {}

    // MessageBoxW with caption "Warning", warning icon, Yes and No; only IDYES
    // is consent (a box that could not be shown returns 0).
    bool Confirm() override;
    // OpenProcess(PROCESS_TERMINATE) and TerminateProcess with the exit code.
    bool Terminate(std::uint32_t pid, std::uint32_t exitCode) override;
    // OpenProcess(PROCESS_SET_INFORMATION) and SetPriorityClass; silent.
    void SetPriorityClass(std::uint32_t pid, std::uint32_t priorityClass) override;

private:
    HWND owner_;
};

}  // namespace zelvane
