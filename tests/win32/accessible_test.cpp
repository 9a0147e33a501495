// The program's accessible objects, read in process as a reader reads them:
// from a top-level window's client object down through get_accChild.
#include <oleacc.h>

#include <algorithm>
#include <utility>
#include <vector>


#include "base/Text.h"
#include "gui/Accessible.h"
#include "gui/StringGrid.h"
#include "processes/ProcessTable.h"
#include "sys/DynCalls.h"
#include "tests/helpers/accessible_walk.h"
#include "tests/common/process_table_fill.h"
#include "tests/win32/ProgramFixture.h"

namespace zelvane::testing {
namespace {

using accwalk::ChildId;
using accwalk::Node;
using Acc = accwalk::ComPtr<IAccessible>;

Acc ClientOf(HWND hwnd) { return accwalk::ClientObjectOf(hwnd, dyn::AccessibleObjectFromWindow()); }

Acc ChildObject(const Acc& parent, long id) {
    IDispatch* d = nullptr;
    if (parent->get_accChild(ChildId(id), &d) != S_OK) return {};
    return accwalk::FromDispatch(d);
}

std::string Name(const Acc& a, long id = CHILDID_SELF) {
    HRESULT hr = S_OK;
    const std::wstring name = accwalk::NameOf({a, id}, &hr);
    return hr == S_OK ? Narrow(name) : "<none>";
}
long Role(const Acc& a, long id = CHILDID_SELF) { return accwalk::RoleOf({a, id}); }
long State(const Acc& a, long id = CHILDID_SELF) { return accwalk::StateOf({a, id}); }

// The first object or simple child of a window (depth first) named `name`.
Node FindNamed(HWND top, const std::string& name) {
    return accwalk::FindNamed(Node{ClientOf(top)}, Widen(name)).value_or(Node{});
}
long Role(const Node& f) { return f ? accwalk::RoleOf(f) : -1; }

// A process of two threads at normal priority.
ProcessEntry Entry(std::uint32_t pid, const char* exe) { return {pid, 2, 8, exe, "", pid * 7ull}; }

// The processes the test makes up.
struct Entries : ProcessSource {
    RebuildResult Rebuild(GridModel& table) override {
        RebuildProcessTable(table, list);
        return RebuildResult::Ok;
    }
    std::vector<ProcessEntry> list{Entry(4, "System"), Entry(100, "a.exe"), Entry(200, "b.exe"), Entry(300, "c.exe")};
};

class Accessibility : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        ASSERT_TRUE(PumpUntil([&] { return !Probe().RepaintTimer().Enabled(); }));
        form1->SetProcessSource(&source);
        form1->ListProcesses();
    }
    TForm1Probe Probe() { return TForm1Probe(*form1); }
    Entries source;
    std::vector<ProcessEntry>& entries = source.list;
};

TEST_F(Accessibility, TableRowsFollowTheirProcessesAndTheSelection) {
    // Nothing for readers is loaded before the first request.
    EXPECT_EQ(nullptr, ::GetModuleHandleW(L"oleacc.dll"));
    Acc table = FindNamed(form1->Handle(), "Процессы").object;
    ASSERT_TRUE(table);
    EXPECT_EQ(ROLE_SYSTEM_TABLE, Role(table));
    LONG count = 0;
    table->get_accChildCount(&count);
    EXPECT_EQ(5, count);
    EXPECT_EQ("b, 200, 000000C8, 2, 8 (Norm)", Name(table, 4));

    // accSelect moves the selection as a click does; states follow.
    EXPECT_EQ(S_OK, table->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, ChildId(4)));
    EXPECT_EQ(3, Probe().Grid().Model().CurrentRow());
    Acc row = ChildObject(table, 4);
    ASSERT_TRUE(row);
    EXPECT_EQ(ROLE_SYSTEM_ROW, Role(row));
    const long selected = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTABLE;
    EXPECT_EQ(STATE_SYSTEM_SELECTABLE, State(table, 2) & selected);
    EXPECT_EQ("000000C8", Name(row, 3));
    EXPECT_EQ(ROLE_SYSTEM_CELL, Role(row, 3));

    // A new process above it: the row object is at the place the grid draws
    // its new row.
    entries.insert(entries.begin() + 1, Entry(50, "new.exe"));
    form1->ListProcesses();
    EXPECT_EQ(4, Probe().Grid().Model().CurrentRow());
    LONG x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(S_OK, row->accLocation(&x, &y, &w, &h, ChildId(CHILDID_SELF)));
    RECT drawn = Probe().Grid().CellRect(-1, 4);
    ::MapWindowPoints(Probe().Grid().Handle(), nullptr, reinterpret_cast<POINT*>(&drawn), 2);
    EXPECT_EQ(drawn.top, y);
    EXPECT_EQ(drawn.left, x);
    EXPECT_EQ(16, h);

    // Its process ended: an error, never another process's row.
    entries.erase(entries.begin() + 3);
    form1->ListProcesses();
    BSTR b = nullptr;
    EXPECT_EQ(E_INVALIDARG, row->get_accName(ChildId(CHILDID_SELF), &b));
    EXPECT_EQ(nullptr, b);

    // Bad input gets the documented codes.
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = nullptr;
    EXPECT_EQ(E_INVALIDARG, table->get_accName(text, &b));
    EXPECT_EQ(E_INVALIDARG, table->get_accName(ChildId(99), &b));
    EXPECT_EQ(E_INVALIDARG, table->get_accName(ChildId(1), nullptr));
    EXPECT_EQ(E_INVALIDARG, table->accSelect(SELFLAG_TAKESELECTION, ChildId(1)));  // the header
    // Object ids we do not serve go to the system.
    EXPECT_EQ(0, ::SendMessageW(Probe().Grid().Handle(), WM_GETOBJECT, 0, 12345));
}

// The table's focus and selection events, as an out-of-context hook sees them.
HWND watchedGrid = nullptr;
std::vector<std::pair<DWORD, LONG>> seenEvents;
void CALLBACK Seen(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (hwnd == watchedGrid && object == OBJID_CLIENT) seenEvents.emplace_back(event, child);
}

TEST_F(Accessibility, FocusEventsOnlyWhileTheTableHasTheKeyboardFocus) {
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, nullptr, &Seen,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    const auto came = [](DWORD event, LONG child) {
        return PumpUntil([&] {
            return std::find(seenEvents.begin(), seenEvents.end(), std::make_pair(event, child)) != seenEvents.end();
        });
    };
    StringGrid& grid = Probe().Grid();
    watchedGrid = grid.Handle();
    ::SetFocus(grid.Handle());
    grid.ClickRow(2, false);
    EXPECT_TRUE(came(EVENT_OBJECT_FOCUS, 3));
    EXPECT_TRUE(came(EVENT_OBJECT_SELECTION, 3));

    // The user works in the search window; the selected process moves down
    // a row in a rebuild: the selection is told, the focus stays put.
    form4->Show();
    ::SetFocus(form4->FilterBox());
    seenEvents.clear();
    entries.insert(entries.begin() + 1, Entry(50, "new.exe"));
    form1->ListProcesses();
    EXPECT_TRUE(came(EVENT_OBJECT_SELECTION, 4));
    // Events come in the order they were sent: once a marker sent after
    // the rebuild came, any focus event of the rebuild would be there.
    ::NotifyWinEvent(EVENT_OBJECT_SELECTION, grid.Handle(), OBJID_CLIENT, 999);
    EXPECT_TRUE(came(EVENT_OBJECT_SELECTION, 999));
    EXPECT_EQ(0, std::count_if(seenEvents.begin(), seenEvents.end(),
                               [](const auto& e) { return e.first == EVENT_OBJECT_FOCUS; }));
    ::UnhookWinEvent(hook);
}

TEST_F(Accessibility, ObjectsOfAWindowThatWentAreDisconnected) {
    const int before = LiveAccessibleObjects();
    auto grid = std::make_unique<StringGrid>(form1->Panel1().Handle(), 0, 0, 100, 60, 2, 3);
    grid->Model().SetCell(0, 1, "x");
    Acc table = ClientOf(grid->Handle());
    ASSERT_TRUE(table);
    Acc row = ChildObject(table, 2);
    ASSERT_TRUE(row);
    grid.reset();
    BSTR b = nullptr;
    EXPECT_TRUE(FAILED(table->get_accName(ChildId(CHILDID_SELF), &b)));
    EXPECT_TRUE(FAILED(row->get_accName(ChildId(CHILDID_SELF), &b)));
    LONG count = 0;
    EXPECT_TRUE(FAILED(row->get_accChildCount(&count)));
    table = Acc();
    row = Acc();
    EXPECT_EQ(before, LiveAccessibleObjects());
}

TEST_F(Accessibility, PlacesTheKeyboardReachesSayFocusedOnlyWhileItIsThere) {
    // The title pictures, painted by their panel (their names and roles are
    // the reader's in another process): "focused" only on the one the
    // keyboard is on, while the panel has the focus.
    const Acc strip = ClientOf(form1->Panel2().Handle());
    ASSERT_TRUE(strip);
    LONG count = 0;
    strip->get_accChildCount(&count);
    ASSERT_EQ(3, count);
    auto focused = [&](long id) { return (State(strip, id) & STATE_SYSTEM_FOCUSED) != 0; };
    for (long id = 1; id <= 3; ++id) {
        EXPECT_EQ(L"Нажать", accwalk::TextOf({strip, id}, &IAccessible::get_accDefaultAction));
        EXPECT_TRUE(State(strip, id) & STATE_SYSTEM_FOCUSABLE);
        EXPECT_FALSE(focused(id));
    }
    form1->Panel2().TakeFocus();
    ::SendMessageW(form1->Panel2().Handle(), WM_KEYDOWN, VK_END, 0);
    EXPECT_FALSE(focused(1) || focused(2));
    EXPECT_TRUE(focused(3));
    VARIANT inFocus = ChildId(0);
    EXPECT_EQ(S_OK, strip->get_accFocus(&inFocus));
    EXPECT_EQ(3, inFocus.lVal);
    ::SetFocus(Probe().Grid().Handle());
    EXPECT_FALSE(focused(3));

    // The tool bar's focused button says so, and only it, while the bar has
    // the keys; the settings dialog's Apply panel is a focusable button.
    const Acc bar = FindNamed(form1->Handle(), "Панель инструментов").object;
    ASSERT_TRUE(bar);
    ::SetFocus(Probe().ToolBar());
    EXPECT_EQ(STATE_SYSTEM_FOCUSED, State(bar, 1) & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(0, State(bar, 2) & STATE_SYSTEM_FOCUSED);
    const Node apply = FindNamed(form2->Handle(), "Применить");
    EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, Role(apply));
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE, accwalk::StateOf(apply) & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED));
}

// The reader in another process reads every window's names and roles; the
// value of a field is read here, against a text the test sets.
TEST_F(Accessibility, AFieldIsNamedByTheLabelPartOfItsTextAndReadsTheWholeAsValue) {
    form5->SetEditText(3, " Память (Kb): 1 234 ");
    const Node box = FindNamed(form5->Handle(), "Память (Kb):");
    EXPECT_EQ(ROLE_SYSTEM_TEXT, Role(box));
    BSTR value = nullptr;
    ASSERT_EQ(S_OK, box.object->get_accValue(ChildId(box.child), &value));
    EXPECT_EQ(" Память (Kb): 1 234 ", FromBstr(value));
    FreeBstr(value);
}

}  // namespace
}  // namespace zelvane::testing
