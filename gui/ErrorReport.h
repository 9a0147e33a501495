// The reports of errors: every error that reaches a place where Windows calls
// us (a window procedure, a callback, the message hook) ends here and goes
// to the one handler that shows it, the application's error box.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace zelvane {

// Runs `fn` and shows any error it throws in the error box; returns whether it
// completed. The one catch for code that Windows calls outside a window
// procedure (callbacks, the message hook).
template <typename Fn>
bool Guarded(Fn&& fn);

// Shows an error's text in the error box (ErrorBoxText of it), or "Unknown
// error." for anything that is not an exception of the library.
void ReportError(const std::exception& e);
void ReportUnknownError();

// The error box's text: a full stop is appended when the last character
// sorts after ".".
std::string ErrorBoxText(const std::string& text);

// What shows a report's text: the application's error box, which the
// application installs when it is first used (gui/Application). Returns the
// handler it replaces; tests put a recorder in its place and put it back.
using ErrorHandler = std::function<void(const std::string& boxText)>;
ErrorHandler SetErrorHandler(ErrorHandler handler);

template <typename Fn>
bool Guarded(Fn&& fn) {
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        ReportError(e);
    } catch (...) {
        ReportUnknownError();
    }
    return false;
}

}  // namespace zelvane
