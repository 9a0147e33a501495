// A screen reader's view of another process's windows, for the accessibility
// tests and for a look by hand. It reads a window as a reader does, from
// outside: AccessibleObjectFromWindow(OBJID_CLIENT), then AccessibleChildren
// (which asks get_accChild) down the tree; a child that is a window object
// stands for that window's client object. It acts through accSelect and
// accDoDefaultAction, holds objects to ask them again later, and records a
// process's focus, selection, reorder, state, name and value events through
// an out-of-context hook.
//
// Commands come on standard input, one a line as UTF-8, arguments separated
// by tabs (so Cyrillic names survive); answers go to standard output.
// A window is its handle in hexadecimal. A node is a path of child positions
// from the window's client object ("2.0.5"; "." is that object), or else a
// name: the first node of exactly that name in the order of `tree`.
//   tree <window> [depth]          a line per node: path, role, states (hex),
//                                  location "x,y,w,h" or "-", name,
//                                  description, value
//   do <window> <node>             accDoDefaultAction
//   select <window> <node> <flags> accSelect with the SELFLAG_ flags (decimal)
//   keep <label> <window> <node>   holds the node's object under `label`
//   ask <label>                    what it answers now: get_accName's HRESULT,
//                                  then role, states, location, name,
//                                  description, value
//   watch <pid>                    records the events of the process
//   events                         the events since the last `events`: kind,
//                                  object id, child id, role and name of the
//                                  event's object when it came
//   quit
// Every command ends with a line "ok", or "fail", an HRESULT and what failed.
// Output is UTF-8; in text fields a tab, a line end and a backslash read \t,
// \n and \\.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/Text.h"
#include "tests/helpers/accessible_walk.h"

using zelvane::Narrow;
using zelvane::Widen;

namespace {

using namespace zelvane::accwalk;

constexpr int kMostDepth = 16;

struct Failure {
    HRESULT hr;
    std::string what;
};

void Out(std::string line) {
    line += '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string Escaped(const std::wstring& text) {
    std::string out;
    for (char c : Narrow(text)) {
        if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", value);
    return text;
}

std::string Describe(const Node& n) {
    const long state = StateOf(n);
    const unsigned long states = state == -1 ? 0 : static_cast<unsigned long>(state);
    LONG x = 0, y = 0, w = 0, h = 0;
    std::string where = "-";
    if (n.object->accLocation(&x, &y, &w, &h, ChildId(n.child)) == S_OK) {
        where = std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(w) + "," + std::to_string(h);
    }
    return std::to_string(std::max(RoleOf(n), 0L)) + "\t" + Hex(states) + "\t" + where + "\t" + Escaped(NameOf(n)) +
           "\t" + Escaped(TextOf(n, &IAccessible::get_accDescription)) + "\t" +
           Escaped(TextOf(n, &IAccessible::get_accValue));
}

// The window's client object; when it has none, a failure, or null when not `required`.
ComPtr<IAccessible> ClientObjectOf(HWND window, bool required = true) {
    HRESULT hr = S_OK;
    ComPtr<IAccessible> object = zelvane::accwalk::ClientObjectOf(window, &::AccessibleObjectFromWindow, &hr);
    if (required && !object) throw Failure{FAILED(hr) ? hr : E_FAIL, "AccessibleObjectFromWindow"};
    return object;
}

// A child object that is a window object stands for the window's client
// object, as the tree of a reader shows it.
ComPtr<IAccessible> ReadAsClient(ComPtr<IAccessible> object) {
    const long role = RoleOf(Node{object});
    if (role > 0 && role != ROLE_SYSTEM_WINDOW) return object;
    HWND window = nullptr;
    if (FAILED(::WindowFromAccessibleObject(object.Get(), &window)) || !window) return object;
    ComPtr<IAccessible> client = ClientObjectOf(window, false);
    return client ? client : object;
}

// The children of a node, in the order AccessibleChildren gives them.
auto children = [](const Node& n) { return ChildrenOf(n, &::AccessibleChildren, &ReadAsClient); };

HWND WindowArg(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(text.c_str(), nullptr, 16)));
}

bool IsPath(const std::wstring& text) {
    return text == L"." || (!text.empty() && text.find_first_not_of(L"0123456789.") == std::wstring::npos);
}

Node Find(HWND window, const std::wstring& where) {
    Node root{ClientObjectOf(window)};
    if (IsPath(where)) {
        Node at = root;
        std::size_t from = 0;
        while (where != L"." && from <= where.size()) {
            const std::size_t dot = std::min(where.find(L'.', from), where.size());
            const std::size_t index = std::wcstoul(where.substr(from, dot - from).c_str(), nullptr, 10);
            const std::vector<Node> kids = children(at);
            if (index >= kids.size()) throw Failure{E_INVALIDARG, "no node " + Narrow(where)};
            at = kids[index];
            from = dot + 1;
        }
        return at;
    }
    const std::optional<Node> found = FindNamed(root, where, children, kMostDepth);
    if (!found) throw Failure{E_INVALIDARG, "no node named " + Narrow(where)};
    return *found;
}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw Failure{hr, what};
}

// ---- events ----

struct RawEvent {
    DWORD event;
    HWND window;
    LONG object;
    LONG child;
};

std::vector<RawEvent> g_raw;          // as the hook got them
std::vector<std::string> g_events;    // read, for `events`
HWINEVENTHOOK g_hook = nullptr;

const char* EventName(DWORD event) {
    switch (event) {
    case EVENT_OBJECT_FOCUS: return "focus";
    case EVENT_OBJECT_SELECTION: return "selection";
    case EVENT_OBJECT_SELECTIONADD: return "selectionadd";
    case EVENT_OBJECT_SELECTIONREMOVE: return "selectionremove";
    case EVENT_OBJECT_REORDER: return "reorder";
    case EVENT_OBJECT_STATECHANGE: return "statechange";
    case EVENT_OBJECT_NAMECHANGE: return "namechange";
    case EVENT_OBJECT_VALUECHANGE: return "valuechange";
    default: return nullptr;
    }
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (EventName(event)) g_raw.push_back({event, window, object, child});
}

// Reads the objects of the events that came, outside the hook's call.
void ReadEvents() {
    while (!g_raw.empty()) {
        std::vector<RawEvent> raw;
        raw.swap(g_raw);
        for (const RawEvent& e : raw) {
            std::string line = std::string(EventName(e.event)) + "\t" + std::to_string(e.object) + "\t" +
                               std::to_string(e.child);
            IAccessible* object = nullptr;
            VARIANT child;
            ::VariantInit(&child);
            if (SUCCEEDED(::AccessibleObjectFromEvent(e.window, static_cast<DWORD>(e.object),
                                                      static_cast<DWORD>(e.child), &object, &child)) &&
                object) {
                const Node n{Own(object), child.vt == VT_I4 ? child.lVal : CHILDID_SELF};
                line.append("\t").append(std::to_string(std::max(RoleOf(n), 0L)));
                line.append("\t").append(Escaped(NameOf(n)));
            } else {
                line += "\t0\t";
            }
            ::VariantClear(&child);
            g_events.push_back(line);
        }
    }
}

// ---- commands ----

std::map<std::string, Node> g_kept;

void Tree(const std::vector<std::wstring>& a) {
    const int most = a.size() > 2 ? std::stoi(a[2]) : kMostDepth;
    auto print = [](const Node& n) {
        Out(n.path + "\t" + Describe(n));
        return true;
    };
    Walk(Node{ClientObjectOf(WindowArg(a.at(1)))}, 0, most, print, children);
}

void Watch(const std::vector<std::wstring>& a) {
    if (g_hook) ::UnhookWinEvent(g_hook);
    const DWORD pid = static_cast<DWORD>(std::stoul(a.at(1)));
    g_hook = ::SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_VALUECHANGE, nullptr, OnEvent, pid, 0,
                               WINEVENT_OUTOFCONTEXT);
    if (!g_hook) throw Failure{HRESULT_FROM_WIN32(::GetLastError()), "SetWinEventHook"};
}

void Run(const std::vector<std::wstring>& a) {
    const std::wstring& c = a.at(0);
    if (c == L"tree") {
        Tree(a);
    } else if (c == L"do") {
        const Node n = Find(WindowArg(a.at(1)), a.at(2));
        Check(n.object->accDoDefaultAction(ChildId(n.child)), "accDoDefaultAction");
    } else if (c == L"select") {
        const Node n = Find(WindowArg(a.at(1)), a.at(2));
        Check(n.object->accSelect(std::stol(a.at(3)), ChildId(n.child)), "accSelect");
    } else if (c == L"keep") {
        g_kept[Narrow(a.at(1))] = Find(WindowArg(a.at(2)), a.at(3));
    } else if (c == L"ask") {
        const Node& n = g_kept.at(Narrow(a.at(1)));
        HRESULT hr = S_OK;
        NameOf(n, &hr);
        Out(Hex(static_cast<unsigned long>(hr)) + "\t" + Describe(n));
    } else if (c == L"watch") {
        Watch(a);
    } else if (c == L"events") {
        ReadEvents();
        for (const std::string& e : g_events) Out(e);
        g_events.clear();
    } else {
        throw Failure{E_INVALIDARG, "unknown command " + Narrow(c)};
    }
}

// Runs one command and says how it ended; false after "quit".
bool Command(const std::vector<std::wstring>& a) {
    if (a.empty()) return true;
    if (a[0] == L"quit") return false;
    try {
        Run(a);
        Out("ok");
    } catch (const Failure& f) {
        Out("fail\t" + Hex(static_cast<unsigned long>(f.hr)) + "\t" + f.what);
    } catch (const std::exception& e) {
        Out("fail\t" + Hex(static_cast<unsigned long>(E_INVALIDARG)) + "\tbad arguments: " + e.what());
    }
    return true;
}

std::vector<std::wstring> SplitTabs(const std::string& line) {
    std::vector<std::wstring> out;
    std::size_t from = 0;
    while (from <= line.size() && !line.empty()) {
        const std::size_t tab = std::min(line.find('\t', from), line.size());
        out.push_back(Widen(line.substr(from, tab - from)));
        from = tab + 1;
    }
    return out;
}

// Lines of standard input, read on a thread of their own; the main thread
// takes them between messages (the hook's calls come as messages) and runs
// the commands one at a time.
struct Input {
    std::mutex lock;
    std::deque<std::string> lines;
    HANDLE ready = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);

    void Read() {
        std::string pending;
        char chunk[4096];
        DWORD got = 0;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &got, nullptr) && got > 0) {
            pending.append(chunk, got);
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                Push(pending.substr(0, end > 0 && pending[end - 1] == '\r' ? end - 1 : end));
            }
        }
        Push("quit");
    }
    void Push(std::string line) {
        const std::lock_guard<std::mutex> hold(lock);
        lines.push_back(std::move(line));
        ::SetEvent(ready);
    }
    std::optional<std::string> Take() {
        const std::lock_guard<std::mutex> hold(lock);
        if (lines.empty()) return std::nullopt;
        std::string line = std::move(lines.front());
        lines.pop_front();
        return line;
    }
};

void Session() {
    Input input;
    std::thread([&input] { input.Read(); }).detach();  // it may stay blocked until the process ends
    for (;;) {
        ::MsgWaitForMultipleObjects(1, &input.ready, FALSE, INFINITE, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ReadEvents();
        while (const std::optional<std::string> line = input.Take()) {
            if (!Command(SplitTabs(*line))) return;
        }
    }
}

}  // namespace

int main() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Session();
    if (g_hook) ::UnhookWinEvent(g_hook);
    g_kept.clear();
    ::CoUninitialize();
    return 0;
}
