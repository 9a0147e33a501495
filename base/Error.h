// The program's one error class. Lower layers throw it with the message text
// (UTF-8) and catch nothing; the places where Windows calls us catch it and
// show the error box.
#pragma once

#include <stdexcept>
#include <string>

namespace zelvane {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" of a message pattern with an argument, the way the
// program's error texts are built ("Failed to get data for '%s'").
inline std::string FormatMessage1(const std::string& pattern, const std::string& arg) {
    std::string out = pattern;
    const auto pos = out.find("%s");
    if (pos != std::string::npos) out.replace(pos, 2, arg);
    return out;
}

}  // namespace zelvane
