// The real ProcessControl: the warning box, and processes opened for
// termination or a priority class through the system. Every process handle is
// closed with the OpenedProcess that holds it.
#pragma once

#include <windows.h>

#include <functional>

#include "processes/ProcessActions.h"

namespace zelvane {

class ProcessControlWin32 : public ProcessControl {
public:
    // `owner` names the window that owns the confirmation box when it opens
    // (may be empty or give null: a box without owner).
    explicit ProcessControlWin32(std::function<HWND()> owner) : owner_(std::move(owner)) {}

    // MessageBoxW with caption "Warning", warning icon, Yes and No; only IDYES
    // is consent (a box that could not be shown returns 0). Afterwards its
    // owner is the active window again, with the focus where it was.
    bool Confirm() override;
    // OpenProcess with PROCESS_TERMINATE or PROCESS_SET_INFORMATION, plus
    // PROCESS_QUERY_LIMITED_INFORMATION for the times (PROCESS_QUERY_INFORMATION
    // where the system does not know the limited right).
    std::unique_ptr<OpenedProcess> Open(std::uint32_t pid, ProcessRight right, bool withTimes) override;

private:
    std::function<HWND()> owner_;
};

}  // namespace zelvane
