// libFuzzer target: the child-id mapping, row binding and events of the
// screen-reader support, driven by a random sequence of table changes
// (grow, cut, cell and key writes, selections) and random child ids. Checks
// that every id maps inside its table and back, that a bound row is only
// ever found where its key is, that events name rows of the table and end
// with the focus on the current row exactly when it changed, and that
// spoken texts and field labels keep their shape, and that a reading order
// holds every box once.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/AccessibleModel.h"

namespace {

using namespace zelvane;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    int Byte() { return at < size ? data[at++] : 0; }
    long Id() {
        const int b = Byte();
        return b >= 250 ? (b == 255 ? -2147483647L - 1 : 2147483647L - (b - 250)) : static_cast<long>(b) - 8;
    }
};

void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void CheckIds(Input& in, const GridModel& t) {
    const long id = in.Id();
    if (const auto row = TableRowOfChild(id, t.RowCount())) {
        Require(*row >= 0 && *row < t.RowCount() && TableChildOfRow(*row) == id, "table id round trip");
    } else {
        Require(id < 1 || id > t.RowCount(), "table id refused inside the table");
    }
    const int items = in.Byte() % 8, windows = in.Byte() % 8;
    const SurfaceChild c = ClassifySurfaceChild(id, items, windows);
    switch (c.kind) {
    case SurfaceChild::Kind::Self: Require(id == 0, "self"); break;
    case SurfaceChild::Kind::Item: Require(c.index < items && SurfaceItemChild(c.index) == id, "item"); break;
    case SurfaceChild::Kind::Window:
        Require(c.index < windows && SurfaceWindowChild(c.index, items) == id, "window");
        break;
    case SurfaceChild::Kind::None: Require(id < 0 || id > items + windows, "none"); break;
    }
    // The reading order of any boxes is an order of all of them.
    std::vector<Box> boxes;
    for (int i = in.Byte() % 8; i > 0; --i) boxes.push_back(BoxAt(in.Byte() - 8, in.Byte() - 8, in.Byte() % 64, in.Byte() % 64));
    std::vector<int> order = ReadingOrder(boxes);
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i) Require(order[i] == static_cast<int>(i), "reading order");
    Require(order.size() == boxes.size(), "reading order size");
    std::vector<bool> separators;
    for (int i = in.Byte() % 10; i > 0; --i) separators.push_back(in.Byte() & 1);
    const auto button = ToolButtonOfChild(id, separators);
    if (button) Require(!separators.at(static_cast<std::size_t>(*button)), "button is no separator");
    Require(button.has_value() == (id >= 1 && id <= ToolButtonChildCount(separators)), "button range");
}

void CheckText(Input& in) {
    std::string s;
    for (int i = in.Byte() % 12; i > 0; --i) s += " \r\n:ab\xD0\x9F"[in.Byte() % 8];
    const std::string spoken = SpokenText(s);
    Require(SpokenText(spoken) == spoken, "spoken text is stable");
    Require(spoken.find("  ") == std::string::npos, "one space between words");
    const std::string label = FieldLabelOf(s);
    Require(label.empty() || label.back() == ':', "label ends at its colon");
}

void Change(Input& in, GridModel& t) {
    const int rows = t.RowCount();
    switch (in.Byte() % 6) {
    case 0: t.SetRowCount(1 + in.Byte() % 40); break;
    case 1: t.SetCell(in.Byte() % t.ColCount(), in.Byte() % rows, std::string(1, static_cast<char>('a' + in.Byte() % 3))); break;
    case 2: t.SetKey(1 + in.Byte() % (rows - 1), RowKey{static_cast<std::uint32_t>(in.Byte() % 4), static_cast<std::uint64_t>(in.Byte() % 2)}); break;
    case 3: t.SelectRow(1 + in.Byte() % (rows - 1)); break;
    case 4: t.ExtendSelection(in.Byte() % (rows + 2)); break;
    default: t.SetTopRow(in.Byte() % (rows + 2)); break;
    }
}

void CheckEvents(const GridAccState& before, const GridModel& t) {
    const auto events = GridEventsSince(before, t);
    int selectionChanges = 0;
    for (const GridEvent& e : events) {
        Require(e.row >= -1 && e.row < t.RowCount(), "event row inside the table");
        if (e.kind == GridEvent::Kind::SelectionAdd || e.kind == GridEvent::Kind::SelectionRemove) ++selectionChanges;
    }
    Require(selectionChanges <= kMaxSelectionEvents, "selection events are summed up");
    const bool moved = before.valid && before.revision != t.Revision() &&
                       (before.current != t.CurrentRow() || !(before.currentKey == t.Key(t.CurrentRow())));
    const bool focused = !events.empty() && events.back().kind == GridEvent::Kind::Focus;
    Require(focused == moved, "focus exactly when the current row changed");
    if (focused) Require(events.back().row == t.CurrentRow(), "focus on the current row");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    GridModel t(1 + in.Byte() % 6, 2 + in.Byte() % 10);
    std::vector<RowBinding> bindings;
    GridAccState told = GridAccStateOf(t);
    while (in.at < in.size) {
        Change(in, t);
        if (in.Byte() & 1) bindings.push_back(BindRow(t, in.Byte() % t.RowCount()));
        for (const RowBinding& b : bindings) {
            const auto row = FindBoundRow(t, b);
            if (!row) continue;
            Require(*row >= 0 && *row < t.RowCount(), "bound row inside the table");
            if (!(b.key == RowKey{})) Require(t.Key(*row) == b.key, "bound row holds its key");
        }
        CheckEvents(told, t);
        told = GridAccStateOf(t);
        CheckIds(in, t);
        CheckText(in);
    }
    return 0;
}
