// The program's run from start to end: the CPU sampler, the application
// window, the main window and the owner of the other four, the message loop.
#pragma once

#include <string>

namespace zelvane {

// Runs the program with the first command-line argument ("" when none) and
// returns its exit code: the message loop's, 0 when another instance took
// over, 1 when the program could not start (the reason is shown in the error
// box first).
int RunProgram(const std::string& firstArgument);

}  // namespace zelvane
