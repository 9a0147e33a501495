#include "gui/ErrorReport.h"

#include <utility>

namespace zelvane {

namespace {

ErrorHandler& InstalledHandler() {
    static ErrorHandler handler;
    return handler;
}

void Report(const std::string& text) {
    // A copy: the handler may replace itself while its box is open.
    if (const ErrorHandler handler = InstalledHandler()) handler(ErrorBoxText(text));
}

}  // namespace

void ReportError(const std::exception& e) { Report(e.what()); }
void ReportUnknownError() { Report("Unknown error"); }

std::string ErrorBoxText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) return text + ".";
    return text;
}

ErrorHandler SetErrorHandler(ErrorHandler handler) { return std::exchange(InstalledHandler(), std::move(handler)); }

}  // namespace zelvane
