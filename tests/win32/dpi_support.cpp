#include "tests/win32/dpi_support.h"

#include <commctrl.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/Dpi.h"
#include "base/Text.h"
#include "gui/Dpi.h"
#include "gui/Handles.h"
#include "gui/StringGrid.h"
#include "gui/Surface.h"
#include "gui/TitlePanel.h"
#include "journeys/journey_program.h"

namespace zelvane::testing {
namespace {

constexpr char kClipped[] = "clipped ";
constexpr char kTextSized[] = "sized to its text: ";

struct SurfaceProbe : Surface {
    static const std::vector<Label>& Labels(Surface& s) { return s.*&SurfaceProbe::labels_; }
};

std::string ClassOf(HWND h) { return Narrow(journey::ClassOf(h)); }
std::string TextOf(HWND h) { return Narrow(journey::TextOf(h)); }

HFONT FontOf(HWND h) {
    Window* w = Window::FromHandle(h);
    if (auto* s = dynamic_cast<Surface*>(w)) return s->Font();
    if (auto* g = dynamic_cast<StringGrid*>(w)) return g->TextFont();
    return reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
}

// The size of a text drawn line by line (lines split at "\r\n").
SIZE TextExtent(HDC dc, const std::string& text) {
    SIZE total{};
    std::size_t start = 0;
    do {
        const std::size_t end = text.find("\r\n", start);
        const std::wstring line = Widen(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        SIZE sz{};
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc, &tm);
        ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &sz);
        total.cx = std::max(total.cx, sz.cx);
        total.cy += tm.tmHeight;
        start = end == std::string::npos ? end : end + 2;
    } while (start != std::string::npos);
    return total;
}

void ClippedIn(Layout& out, const std::string& key, HWND h);

// What a window of ours or a tool bar lays out inside itself, and its texts
// that do not fit.
void ReadInside(Layout& out, const std::string& key, HWND h) {
    ClippedIn(out, key, h);
    Window* w = Window::FromHandle(h);
    if (auto* s = dynamic_cast<Surface*>(w)) {
        WindowDc dc(h);
        SelectObjectScope font(dc.Get(), s->Font());
        for (const Label& l : SurfaceProbe::Labels(*s)) {
            const RECT& r = l.bounds;
            const SIZE text = TextExtent(dc.Get(), l.text);
            out[key + " label " + l.name] = r;
            if (r.right - r.left == text.cx && r.bottom - r.top == text.cy)
                out[kTextSized + key + " label " + l.name] = {};
        }
    }
    if (auto* t = dynamic_cast<TitlePanel*>(w)) {
        for (std::size_t i = 0; i < t->Pictures().size(); ++i)
            out[key + " picture " + std::to_string(i)] = t->Pictures()[i].bounds;
    }
    if (auto* g = dynamic_cast<StringGrid*>(w)) {
        for (int c = 0, edge = 0; c < g->Model().ColCount(); edge += g->ColWidth(c++))
            out[key + " column " + std::to_string(c)] = {edge, 0, edge + g->ColWidth(c), g->RowHeight()};
    }
    if (ClassOf(h) == "ToolbarWindow32") {
        const int count = static_cast<int>(::SendMessageW(h, TB_BUTTONCOUNT, 0, 0));
        for (int b = 0; b < count; ++b) {
            RECT r{};
            ::SendMessageW(h, TB_GETITEMRECT, b, reinterpret_cast<LPARAM>(&r));
            out[key + " button " + std::to_string(b)] = r;
        }
    }
    if (const HFONT f = FontOf(h)) {
        LOGFONTW lf{};
        ::GetObjectW(f, sizeof lf, &lf);
        out[key + " font"] = {0, 0, 0, std::abs(static_cast<int>(lf.lfHeight))};
    }
}

void ReadChildren(Layout& out, const std::string& key, HWND parent) {
    int i = 0;
    for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++i) {
        const std::string k = key + "/" + std::to_string(i) + ":" + ClassOf(c);
        RECT r{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        out[k] = r;
        ReadInside(out, k, c);
        ReadChildren(out, k, c);
    }
}

// A text that does not fit its box, as {needed width, height, box width, height}.
void CheckFits(Layout& out, const std::string& key, HDC dc, HFONT font, const std::string& text, int width,
               int height) {
    SelectObjectScope selected(dc, font);
    const SIZE sz = TextExtent(dc, text);
    if (sz.cx > width || sz.cy > height) out[kClipped + key] = {sz.cx, sz.cy, width, height};
}

// A child window of `surface` over the part of a label's box that its text
// takes (drawn from the box's left edge) hides part of the text.
void CheckUncovered(Layout& out, const std::string& key, HWND surface, HDC dc, HFONT font, const Label& l) {
    RECT box = l.bounds;
    {
        SelectObjectScope selected(dc, font);
        box.right = std::min<LONG>(box.right, box.left + TextExtent(dc, l.text).cx);
    }
    int i = 0;
    for (HWND c = ::GetWindow(surface, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++i) {
        RECT r{}, common{};
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, surface, reinterpret_cast<POINT*>(&r), 2);
        if (::IntersectRect(&common, &r, &box)) out[kClipped + key + " under " + std::to_string(i) + ":" + ClassOf(c)] = common;
    }
}

void ClippedIn(Layout& out, const std::string& key, HWND h) {
    WindowDc dc(h);
    RECT client{};
    ::GetClientRect(h, &client);
    Window* w = Window::FromHandle(h);
    const std::string cls = ClassOf(h), text = TextOf(h);
    if (auto* s = dynamic_cast<Surface*>(w)) {
        for (const Label& l : SurfaceProbe::Labels(*s)) {
            const RECT& b = l.bounds;
            if (!l.visible) continue;
            CheckFits(out, key + " label " + l.name, dc.Get(), s->LabelFont(l), l.text, b.right - b.left, b.bottom - b.top);
            CheckUncovered(out, key + " label " + l.name, h, dc.Get(), s->LabelFont(l), l);
        }
        if (cls == "ZelvanePanel" && !text.empty())
            CheckFits(out, key + " caption", dc.Get(), s->Font(), text, client.right, client.bottom);
    }
    if (auto* g = dynamic_cast<StringGrid*>(w)) {
        const GridModel& m = g->Model();
        for (int row = 0; row < m.RowCount(); ++row)
            for (int col = 0; col < m.ColCount(); ++col)
                CheckFits(out, key + (row < m.FixedRows() ? " header " : " column ") + std::to_string(col), dc.Get(),
                          g->TextFont(), m.Cell(col, row), g->ColWidth(col), g->RowHeight());
    }
    // A check box's text follows its box and the gap after it.
    if (cls == "Button")
        CheckFits(out, key + " check box", dc.Get(), FontOf(h), text,
                  client.right - ScaleSize(17, WindowDpi(h)), client.bottom);
    if (cls == "msctls_statusbar32")
        CheckFits(out, key + " status bar", dc.Get(), FontOf(h), text, client.right, client.bottom);
}

std::string Show(const RECT& r) {
    std::ostringstream s;
    s << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
    return s.str();
}

}  // namespace

int PrefixDpi() {
    const char* dpi = std::getenv("ZELVANE_TEST_DPI");
    return dpi ? std::atoi(dpi) : kBaseDpi;
}

void ReadLayout(Layout& out, const std::string& name, HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    out[name] = client;
    ReadInside(out, name, window);
    ReadChildren(out, name, window);
}

std::vector<std::string> LayoutDifferences(const Layout& at96, const Layout& actual, int dpi, int slack) {
    std::vector<std::string> lines;
    for (const auto& [key, r] : at96) {
        if (key.starts_with(kClipped) || key.starts_with(kTextSized)) continue;
        const auto found = actual.find(key);
        if (found == actual.end()) {
            lines.push_back(key + ": missing");
            continue;
        }
        const RECT want{ScaleEdge(r.left, dpi), ScaleEdge(r.top, dpi), ScaleEdge(r.right, dpi),
                        ScaleEdge(r.bottom, dpi)};
        RECT got = found->second;
        // A label sized to its text, or whose text overflows it: its corner
        // is laid out, its size may follow its text at any DPI.
        if (at96.count(kTextSized + key) || at96.count(kClipped + key))
            got = {got.left, got.top, want.right + got.left - want.left, want.bottom + got.top - want.top};
        if (std::abs(got.left - want.left) > slack || std::abs(got.top - want.top) > slack ||
            std::abs(got.right - want.right) > slack || std::abs(got.bottom - want.bottom) > slack)
            lines.push_back(key + ": " + Show(got) + ", expected " + Show(want) + " (" + Show(r) + " at 96 DPI)");
    }
    for (const auto& [key, r] : actual)
        if (!at96.count(key) && !key.starts_with(kTextSized))
            lines.push_back(key + (key.starts_with(kClipped) ? "" : ": new") + ", " + Show(r));
    return lines;
}

Layout LayoutAt96(const Layout& layout, int dpi) {
    Layout at96;
    for (const auto& [key, r] : layout)
        at96[key] = {::MulDiv(r.left, kBaseDpi, dpi), ::MulDiv(r.top, kBaseDpi, dpi), ::MulDiv(r.right, kBaseDpi, dpi),
                     ::MulDiv(r.bottom, kBaseDpi, dpi)};
    return at96;
}

void DpiFixture::ShowAll() {
    for (Form* f : Forms()) f->Show();
    PaintAll();
}

void DpiFixture::PaintAll() {
    ASSERT_TRUE(PumpUntil([&] {
        for (Form* f : Forms())
            if (::GetUpdateRect(f->Handle(), nullptr, FALSE)) return false;
        return true;
    }));
    Pump();
}

Layout DpiFixture::ReadAll() {
    Layout layout;
    const char* names[] = {"main", "settings", "about", "search", "properties"};
    const std::vector<Form*> forms = Forms();
    for (std::size_t k = 0; k < forms.size(); ++k) ReadLayout(layout, names[k], forms[k]->Handle());
    const RECT m = form1->Bounds();
    for (const auto& [name, form] : {std::pair<const char*, Form*>{"search", form4}, {"properties", form5}}) {
        RECT r = form->Bounds();
        ::OffsetRect(&r, -m.left, -m.top);
        layout[std::string(name) + " placement"] = r;
    }
    return layout;
}

bool WriteLayout(const Layout& layout, const std::string& path) {
    std::ofstream file(path, std::ios::binary);
    for (const auto& [key, r] : layout) file << key << '\t' << Show(r) << '\n';
    return static_cast<bool>(file.flush());
}

Layout LoadLayout(const std::string& path) {
    Layout layout;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        RECT r{};
        std::istringstream(line.substr(tab + 1)) >> r.left >> r.top >> r.right >> r.bottom;
        layout[line.substr(0, tab)] = r;
    }
    return layout;
}

}  // namespace zelvane::testing
