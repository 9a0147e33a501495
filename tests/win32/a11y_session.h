// A screen reader in another process for the accessibility tests: a session
// with tests/helpers/a11y_reader.exe (commands on its input, answers on its
// output) and the nodes of its trees.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Handles.h"
#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {

inline std::vector<std::string> Split(const std::string& text, const std::string& by, std::size_t most = 64) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at; out.size() + 1 < most && (at = text.find(by, from)) != std::string::npos; from = at + by.size()) {
        out.push_back(text.substr(from, at - from));
    }
    out.push_back(text.substr(from));
    return out;
}

// One node of the reader's tree.
struct Item {
    std::string path;
    long role = 0;
    unsigned long states = 0;
    std::optional<RECT> where;
    std::string name;
    std::string description;
    std::string value;

    std::string Parent() const { return path.rfind('.') == std::string::npos ? "." : path.substr(0, path.rfind('.')); }
    bool Has(unsigned long state) const { return (states & state) == state; }
};

// A text field of the reader's output as it was: \t, \n, \r and \\ undone.
inline std::string Unescaped(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

inline Item ParseItem(const std::string& path, const std::vector<std::string>& f, std::size_t at) {
    Item item{path,
              std::stol(f.at(at)),
              std::stoul(f.at(at + 1), nullptr, 16),
              std::nullopt,
              Unescaped(f.at(at + 3)),
              Unescaped(f.size() > at + 4 ? f[at + 4] : ""),
              Unescaped(f.size() > at + 5 ? f[at + 5] : "")};
    if (f.at(at + 2) != "-") {
        const auto n = Split(f[at + 2], ",");
        const LONG x = std::stol(n.at(0)), y = std::stol(n.at(1));
        item.where = RECT{x, y, x + std::stol(n.at(2)), y + std::stol(n.at(3))};
    }
    return item;
}

// a11y_reader.exe in a session: commands on its input, answers on its output.
class Reader {
public:
    Reader() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childIn = nullptr, childOut = nullptr, toChild = nullptr, fromChild = nullptr;
        ::CreatePipe(&childIn, &toChild, &inherit, 0);
        ::CreatePipe(&fromChild, &childOut, &inherit, 0);
        ::SetHandleInformation(toChild, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(fromChild, HANDLE_FLAG_INHERIT, 0);
        toChild_.Reset(toChild);
        fromChild_.Reset(fromChild);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = childIn;
        si.hStdOutput = childOut;
        si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        process_.emplace(L"a11y_reader.exe", L"", &si);
        ::CloseHandle(childIn);
        ::CloseHandle(childOut);
    }
    ~Reader() {
        toChild_.Reset(nullptr);  // the end of its input ends it; one that does not end is ended
        process_->WaitExitCode();
    }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // The lines a command printed; `failure` holds its "fail" line, if any.
    std::vector<std::string> Ask(const std::string& command) {
        const std::string line = command + "\n";
        DWORD written = 0;
        ::WriteFile(toChild_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        std::vector<std::string> out;
        failure.clear();
        for (std::string next; NextLine(next);) {
            if (next == "ok") return out;
            if (next.rfind("fail\t", 0) == 0) {
                failure = next + " (" + command + ")";
                return out;
            }
            out.push_back(next);
        }
        failure = "the reader did not answer: " + command;
        return out;
    }
    bool Succeeds(const std::string& command) {
        Ask(command);
        EXPECT_EQ("", failure);
        return failure.empty();
    }

    // The nodes down to `depth` (the window's own object is at 0).
    std::vector<Item> Tree(HWND window, int depth = 16) {
        std::vector<Item> items;
        for (const std::string& line : Ask("tree\t" + Handle(window) + "\t" + std::to_string(depth))) {
            const auto f = Split(line, "\t");
            items.push_back(ParseItem(f.at(0), f, 1));
        }
        EXPECT_EQ("", failure);
        return items;
    }
    // What a held object answers now: get_accName's HRESULT and the object.
    std::pair<HRESULT, Item> Answer(const std::string& label) {
        const auto lines = Ask("ask\t" + label);
        if (lines.size() != 1) return {E_FAIL, Item{}};
        const auto f = Split(lines[0], "\t");
        return {static_cast<HRESULT>(std::stoul(f.at(0), nullptr, 16)), ParseItem(label, f, 1)};
    }

    static std::string Handle(HWND window) {
        char text[24];
        std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
        return text;
    }

    std::string failure;

private:
    // One line of its output, each part of it awaited with the usual patience.
    bool NextLine(std::string& line) {
        std::size_t newline;
        while ((newline = buffer_.find('\n')) == std::string::npos) {
            DWORD available = 0;
            const auto readable = [&] {
                return !::PeekNamedPipe(fromChild_.Get(), nullptr, 0, nullptr, &available, nullptr) || available > 0;
            };
            if (!WaitUntil(readable) || available == 0) return false;  // no output, or the reader is gone
            std::string chunk(available, '\0');
            DWORD got = 0;
            ::ReadFile(fromChild_.Get(), chunk.data(), available, &got, nullptr);
            buffer_.append(chunk, 0, got);
        }
        line = buffer_.substr(0, newline);
        buffer_.erase(0, newline + 1);
        return true;
    }

    std::optional<ChildProcess> process_;
    KernelHandle toChild_;
    KernelHandle fromChild_;
    std::string buffer_;
};

}  // namespace zelvane::testing
