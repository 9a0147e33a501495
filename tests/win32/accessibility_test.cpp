// zelvane.exe read by a screen reader in another process (a11y_reader.exe):
// every assertion starts at a top-level window and reaches rows, painted
// items, buttons and fields only through the reader's accessible objects.
// The test process plays the user and the system: it starts and ends child
// processes, presses keys and compares with the system's process list.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Text.h"
#include "gui/Handles.h"
#include "processes/ProcessActions.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "tests/win32/ProgramFixture.h"
#include "tests/win32/a11y_session.h"
#include "tests/win32/reliability_support.h"
#include "resources/version.h"

using namespace zelvane;
using namespace zelvane::testing;

namespace {

// The system's processes through the snapshot walk of Windows 9x, which
// lists them apart from the NT list the program shows here (process_list_test
// holds the two to the same cells).
GridModel SystemProcesses() {
    GridModel table(kProcessColumnCount, 2);
    EXPECT_EQ(RebuildResult::Ok, SystemProcessSource(false).Rebuild(table));
    return table;
}

// The first `cells` cells of a process's row, joined by ", " as a reader
// says them.
std::string Cells(const GridModel& table, DWORD pid, int cells) {
    const int row = RowOfPid(table, pid);
    std::string out = table.Cell(0, row);
    for (int c = 1; c < cells; ++c) out += ", " + table.Cell(c, row);
    return out;
}

// The process rows of the table in a tree of the main window, by identifier:
// the rows are the children of the one object whose children have the row
// role and a name that reads as a process.
std::map<DWORD, Item> ProcessRows(const std::vector<Item>& tree, std::vector<Item>* inOrder = nullptr) {
    std::map<DWORD, Item> rows;
    for (const Item& item : tree) {
        if (item.role != ROLE_SYSTEM_ROW && item.role != ROLE_SYSTEM_LISTITEM) continue;
        const auto cells = Split(item.name, ", ", 6);
        if (cells.size() < 6 || cells[1].empty() || cells[1].find_first_not_of("0123456789") != std::string::npos) continue;
        const DWORD pid = std::stoul(cells[1]);
        if (cells[2] != FormatPidHex(pid).View()) continue;
        rows[pid] = item;
        if (inOrder) inOrder->push_back(item);
    }
    return rows;
}

class ReadFromOutside : public ::testing::Test {
protected:
    void SetUp() override {
        StoreQuietSettings();
        program.emplace();
        main = program->MainWindow();
        ASSERT_NE(nullptr, main);
        // The start-up is over (the table filled) when the program first waits for input.
        ASSERT_EQ(0u, ::WaitForInputIdle(program->Handle(), kPatienceMs));
        ASSERT_TRUE(reader.Succeeds("watch\t" + std::to_string(program->Pid())));
    }
    std::string Window() const { return Reader::Handle(main) + "\t"; }
    // The events since the last call, as "kind<TAB>name" (the object id, the
    // child id and the role left out).
    std::vector<std::string> Events() {
        std::vector<std::string> out;
        for (const std::string& line : reader.Ask("events")) {
            const auto f = Split(line, "\t");
            out.push_back(f.at(0) + "\t" + Unescaped(f.size() > 4 ? f[4] : ""));
        }
        return out;
    }
    // Waits for an event of this kind for an object of this name (any name
    // when empty) among those seen since `seen` was cleared.
    ::testing::AssertionResult EventCame(std::vector<std::string>& seen, const std::string& kind,
                                         const std::string& name = "") {
        const bool came = WaitUntil([&] {
            for (const std::string& e : Events()) seen.push_back(e);
            return std::any_of(seen.begin(), seen.end(), [&](const std::string& e) {
                return name.empty() ? e.rfind(kind + "\t", 0) == 0 : e == kind + "\t" + name;
            });
        });
        if (came) return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << "no " << kind << " event for '" << name << "'; seen:";
        for (const std::string& e : seen) failure << "\n  " << e;
        return failure;
    }

    RegistryGuard registry;
    std::optional<ProgramInstance> program;
    Reader reader;
    HWND main = nullptr;
};

const Item* Named(const std::vector<Item>& tree, const std::string& name) {
    const auto at = std::find_if(tree.begin(), tree.end(), [&](const Item& i) { return i.name == name; });
    return at == tree.end() ? nullptr : &*at;
}

}  // namespace

TEST_F(ReadFromOutside, TheTableRowByRowFollowingTheSelectionAndItsProcesses) {
    // Two children the table does not show yet: it is rebuilt only by commands.
    Victim first("a11yfirst"), second("a11ysecond");
    ASSERT_TRUE(first.Start() && second.Start());
    const GridModel before = SystemProcesses();
    EXPECT_EQ(0u, ProcessRows(reader.Tree(main)).count(first.Pid()));

    // The refresh button's default action rebuilds the table; every process
    // that ran throughout is a row that reads as its cells, after the header.
    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "[Обновить]"));
    std::vector<Item> tree, order;
    std::map<DWORD, Item> rows;
    ASSERT_TRUE(WaitUntil([&] {
        tree = reader.Tree(main);
        order.clear();
        rows = ProcessRows(tree, &order);
        return rows.count(first.Pid()) && rows.count(second.Pid());
    }));
    const GridModel after = SystemProcesses();
    for (int row = 1; row < before.RowCount(); ++row) {
        const DWORD pid = std::stoul(before.Cell(kColPid, row));
        const int now = RowOfPid(after, pid);
        if (now < 0 || after.Cell(kColName, now) != before.Cell(kColName, row)) continue;  // ended meanwhile
        ASSERT_TRUE(rows.count(pid)) << before.Cell(kColName, row) << " " << pid;
        EXPECT_EQ(0u, rows[pid].name.rfind(Cells(after, pid, 3) + ", ", 0)) << rows[pid].name;
    }
    const Item* header = Named(tree, "Имя программы, ProcessID32, ProcessID, Потоки, Приоритет, Путь к программе");
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(header->Parent(), order.front().Parent());
    for (const Victim* s : {&first, &second}) {
        const DWORD pid = s->Pid();
        EXPECT_EQ(Cells(after, pid, 5) + ", " + Narrow(s->Path()), rows[pid].name);
    }
    // Its cells: each one's text, described by its column's header.
    const auto cellTexts = Split(rows[first.Pid()].name, ", ", 6);
    const auto headers = Split(header->name, ", ");
    std::size_t cells = 0;
    for (const Item& item : tree) {
        if (item.Parent() != rows[first.Pid()].path) continue;
        EXPECT_EQ(ROLE_SYSTEM_CELL, item.role);
        ASSERT_LT(cells, cellTexts.size());
        EXPECT_EQ(cellTexts[cells], item.name);
        EXPECT_EQ(headers[cells++], item.description);
    }
    EXPECT_EQ(6u, cells);

    // accSelect moves the selection to a row, which alone is selected and
    // focused (all are selectable and focusable), with a focus event for it.
    // The child that comes first stays on the table; the other one ends.
    auto position = [&](DWORD pid) {
        return std::find_if(order.begin(), order.end(), [&](const Item& i) { return i.path == rows[pid].path; });
    };
    const bool firstIsAbove = position(first.Pid()) < position(second.Pid());
    Victim& ender = firstIsAbove ? first : second;
    Victim& mover = firstIsAbove ? second : first;
    const Item chosen = rows[ender.Pid()];
    std::vector<std::string> seen;
    Events();
    ASSERT_TRUE(reader.Succeeds("select\t" + Window() + chosen.path + "\t" +
                                std::to_string(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)));
    EXPECT_TRUE(EventCame(seen, "focus", chosen.name));
    for (const auto& [pid, row] : ProcessRows(reader.Tree(main))) {
        EXPECT_TRUE(row.Has(STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE)) << row.name;
        EXPECT_EQ(pid == ender.Pid(), row.Has(STATE_SYSTEM_SELECTED)) << row.name;
        EXPECT_EQ(pid == ender.Pid(), row.Has(STATE_SYSTEM_FOCUSED)) << row.name;
    }

    // Down: focus and selection events for the next row.
    const auto next = position(ender.Pid()) + 1;
    ASSERT_NE(order.end(), next);
    ASSERT_NE(nullptr, journey::FocusOf(main));
    seen.clear();
    Events();
    PostKey(journey::FocusOf(main), VK_DOWN);
    EXPECT_TRUE(EventCame(seen, "focus", next->name));
    EXPECT_TRUE(EventCame(seen, "selection", next->name));

    // Row objects stay with their processes: once the ender has ended and the
    // table is rebuilt (a reorder event), its object answers with an error,
    // and the mover's object answers for the mover at its new row.
    ASSERT_TRUE(reader.Succeeds("keep\tender\t" + Window() + rows[ender.Pid()].path));
    ASSERT_TRUE(reader.Succeeds("keep\tmover\t" + Window() + rows[mover.Pid()].path));
    const std::string moverWas = rows[mover.Pid()].path;
    ender.End();
    seen.clear();
    Events();
    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "[Обновить]"));
    ASSERT_TRUE(WaitUntil([&] {
        tree = reader.Tree(main);
        rows = ProcessRows(tree);
        return !rows.count(ender.Pid());
    }));
    EXPECT_TRUE(EventCame(seen, "reorder"));
    const Item moved = rows[mover.Pid()];
    ASSERT_NE(moverWas, moved.path) << "the row above the mover's went, yet the mover did not move";
    const auto [enderAnswers, enderNow] = reader.Answer("ender");
    EXPECT_TRUE(FAILED(enderAnswers)) << enderNow.name;
    const auto [moverAnswers, moverNow] = reader.Answer("mover");
    EXPECT_EQ(S_OK, moverAnswers);
    EXPECT_EQ(moved.name, moverNow.name);
    ASSERT_TRUE(moved.where && moverNow.where);
    EXPECT_TRUE(::EqualRect(&*moved.where, &*moverNow.where));

    // When the program ends, a held object answers with an error.
    PostRequest(L"Zelvane_Close");
    ASSERT_EQ(0u, program->WaitExitCode());
    EXPECT_TRUE(FAILED(reader.Answer("mover").first));
}

namespace {

// Every visible control and painted item of a window has a role and a name
// and lies within the window. Rows and their cells are content, not controls
// (the preview table's empty rows have no name); the table test reads them.
// A panel with no text of its own only groups what is on it: it has no name,
// rather than its window's said twice.
// The window's own object is named as its title strip reads: the caption
// painted on a strip of its own, or else the system's title.
void ExpectReadable(const std::vector<Item>& tree, HWND window, bool ownStrip) {
    ASSERT_FALSE(tree.empty());
    RECT frame{};
    ::GetWindowRect(window, &frame);
    std::map<std::string, long> roles;
    bool captionPainted = false;
    for (const Item& item : tree) {
        roles[item.path] = item.role;
        const long parent = item.path == "." ? 0 : roles[item.Parent()];
        captionPainted |= item.role == ROLE_SYSTEM_STATICTEXT && item.name == tree.front().name;
        const bool content = item.role == ROLE_SYSTEM_ROW || item.role == ROLE_SYSTEM_LISTITEM ||
                             parent == ROLE_SYSTEM_ROW || parent == ROLE_SYSTEM_LISTITEM;
        if (content || item.role == ROLE_SYSTEM_SEPARATOR || item.Has(STATE_SYSTEM_INVISIBLE)) {
            continue;
        }
        EXPECT_NE(0, item.role) << item.path << " " << item.name;
        if (item.path != "." && item.role == ROLE_SYSTEM_PANE) {
            EXPECT_NE(tree.front().name, item.name) << item.path;
        } else {
            EXPECT_NE("", item.name) << item.path << " role " << item.role;
        }
        RECT inside{};
        if (item.where && !item.Has(STATE_SYSTEM_OFFSCREEN)) {
            EXPECT_TRUE(::IntersectRect(&inside, &*item.where, &frame) && ::EqualRect(&inside, &*item.where))
                << item.path << " " << item.name;
        }
    }
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    EXPECT_TRUE(ownStrip ? captionPainted : tree.front().name == Narrow(text)) << tree.front().name;
}

}  // namespace

TEST_F(ReadFromOutside, EveryWindowNamesEachControlAndPaintedItem) {
    // The tool buttons' default actions open three windows, F3 the fourth.
    for (const char* button : {"[Настройки]", "[About]", "Расширенная информация процессе"}) {
        ASSERT_TRUE(reader.Succeeds("do\t" + Window() + button));
    }
    PostKey(main, VK_F3);
    const std::wstring mainTitle = L"Zelvane v " ZELVANE_VERSION " - процессы";
    std::map<std::wstring, std::vector<Item>> trees;
    for (const std::wstring& title : {mainTitle, std::wstring(L"Options ..."), std::wstring(L"About Program."),
                                     std::wstring(L"Search..."), std::wstring(L"ProcsInfo")}) {
        SCOPED_TRACE(Narrow(title));
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            return (window = VisibleWindowOf(program->Pid(), L"ZelvaneForm", title.c_str())) != nullptr;
        }));
        trees[title] = reader.Tree(window);
        ExpectReadable(trees[title], window, title != L"Options ...");
    }
    // Items each window names, with their roles (0: any); a properties box is
    // named by the label part of its text.
    const struct {
        std::wstring window;
        const char* name;
        long role;
    } named[] = {
        {mainTitle, kHomePageUrl, ROLE_SYSTEM_STATICTEXT},
        {L"About Program.", "Рисунок", ROLE_SYSTEM_GRAPHIC},
        {L"ProcsInfo", "Память (Kb):", ROLE_SYSTEM_TEXT},
        {L"ProcsInfo", "Вирт. память (Kb):", ROLE_SYSTEM_TEXT},
        {L"Options ...", "Частота автообновления списка", 0},
        {L"Options ...", "Задержка перед обновлением после удаления процесса", 0},
        {L"Options ...", "Применить", ROLE_SYSTEM_PUSHBUTTON},
        {L"Search...", "Часть имени", 0},
    };
    for (const auto& n : named) {
        const Item* item = Named(trees[n.window], n.name);
        ASSERT_NE(nullptr, item) << n.name;
        if (n.role) {
            EXPECT_EQ(n.role, item->role) << n.name;
        }
    }
    // Children come in reading order: the about text before the picture
    // that starts beside its last lines.
    const auto& about = trees[L"About Program."];
    const auto text = std::find_if(about.begin(), about.end(),
                                   [](const Item& i) { return i.name.rfind("Программа Zelvane", 0) == 0; });
    ASSERT_NE(about.end(), text);
    EXPECT_NE(about.end(), std::find_if(text, about.end(), [](const Item& i) { return i.name == "Рисунок"; }));

    // The title strip's pictures take the words of the system's caption
    // buttons, the tool bar's seven buttons their hints in order (the search
    // button, which has none, "Поиск"); all are push buttons, two levels down.
    const auto top = reader.Tree(main, 2);
    for (const char* name : {"Свернуть", "Развернуть", "Закрыть"}) {
        const Item* picture = Named(top, name);
        ASSERT_NE(nullptr, picture) << name;
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, picture->role) << name;
        EXPECT_FALSE(picture->Has(STATE_SYSTEM_FOCUSED)) << name << ": the table has the focus";
    }
    // The pictures are read left to right, as drawn.
    EXPECT_LT(Named(top, "Свернуть"), Named(top, "Развернуть"));
    EXPECT_LT(Named(top, "Развернуть"), Named(top, "Закрыть"));
    const Item* bar = Named(top, "Панель инструментов");
    ASSERT_NE(nullptr, bar);
    std::vector<std::string> buttons;
    for (const Item& item : top) {
        if (item.path == bar->path || item.Parent() != bar->path) continue;
        buttons.push_back(item.name);
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, item.role) << item.name;
        EXPECT_FALSE(item.Has(STATE_SYSTEM_FOCUSED)) << item.name << ": the table has the focus";
    }
    EXPECT_EQ((std::vector<std::string>{"[Обновить]", "[Автообновление]", "[\"Убрать\" процесс]", "Поиск",
                                        "Расширенная информация процессе", "[Настройки]", "[About]"}),
              buttons);
    // The auto-refresh toggle is pressed while down, and runs its command: a
    // process started before is listed without a refresh.
    EXPECT_FALSE(Named(top, "[Автообновление]")->Has(STATE_SYSTEM_PRESSED));
    Victim later("a11ylater");
    ASSERT_TRUE(later.Start());
    EXPECT_EQ(0u, ProcessRows(reader.Tree(main)).count(later.Pid()));
    for (const bool down : {true, false}) {
        ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "[Автообновление]"));
        EXPECT_TRUE(WaitUntil([&] {
            const Item* toggle = Named(reader.Tree(main, 2), "[Автообновление]");
            return toggle && toggle->Has(STATE_SYSTEM_PRESSED) == down;
        })) << down;
        if (down) {
            EXPECT_TRUE(WaitUntil([&] { return ProcessRows(reader.Tree(main)).count(later.Pid()) > 0; }));
        }
    }
    // The middle picture maximises, and is then named for restoring.
    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "Развернуть"));
    EXPECT_TRUE(WaitUntil([&] { return ::IsZoomed(main) && Named(reader.Tree(main, 2), "Восстановить"); }));
    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "Восстановить"));
    EXPECT_TRUE(WaitUntil([&] { return !::IsZoomed(main) && Named(reader.Tree(main, 2), "Развернуть"); }));
}

// The standard controls read as on Windows, also where the system's own
// objects know them only as a bare client: the check box's state, the font
// list's value, the search list's items and selection; and a reader hears
// their changes, and the status text's.
TEST_F(ReadFromOutside, StandardControlsTellTheirStateValueItemsAndChanges) {
    Victim target("a11ykill");
    ASSERT_TRUE(target.Start());
    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "[Обновить]"));
    ASSERT_TRUE(WaitUntil([&] { return ProcessRows(reader.Tree(main)).count(target.Pid()) == 1; }));

    ASSERT_TRUE(reader.Succeeds("do\t" + Window() + "[Настройки]"));
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (options = VisibleWindowOf(program->Pid(), L"ZelvaneForm", L"Options ...")) != nullptr; }));
    const HWND box = journey::ChildOfClass(options, L"Button"), fonts = journey::ChildOfClass(options, L"ComboBox");
    ASSERT_TRUE(box && fonts);
    const std::string boxName = "Автозапуск вместе с Windows", fontsName = "Шрифт программы";
    // The node of this name and role (a field and its label share a name).
    auto read = [&](HWND window, const std::string& name, long role) {
        for (const Item& item : reader.Tree(window)) {
            if (item.name == name && item.role == role) return item;
        }
        return Item{};
    };

    // The font list says the chosen face; a new face is told as a value change.
    const Item fontList = read(options, fontsName, ROLE_SYSTEM_COMBOBOX);
    EXPECT_EQ(Narrow(journey::TextOf(fonts)), fontList.value);
    EXPECT_NE("", fontList.value);
    std::vector<std::string> seen;
    Events();
    const LRESULT chosen = ::SendMessageW(fonts, CB_GETCURSEL, 0, 0);
    PostKey(fonts, chosen + 1 < ::SendMessageW(fonts, CB_GETCOUNT, 0, 0) ? VK_DOWN : VK_UP);
    EXPECT_TRUE(EventCame(seen, "valuechange", fontsName));
    ASSERT_TRUE(WaitUntil([&] { return Narrow(journey::TextOf(fonts)) != fontList.value; }));
    EXPECT_EQ(Narrow(journey::TextOf(fonts)), read(options, fontsName, ROLE_SYSTEM_COMBOBOX).value);

    // The check box: its state, the focus given by the reader (and shown on
    // nothing else: not on the preview table's first row), then Space flips
    // it, told as a state change.
    const Item check = read(options, boxName, ROLE_SYSTEM_CHECKBUTTON);
    ASSERT_NE("", check.path);
    const bool was = check.Has(STATE_SYSTEM_CHECKED);
    EXPECT_EQ(was, ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    ASSERT_TRUE(reader.Succeeds("select\t" + Reader::Handle(options) + "\t" + check.path + "\t" +
                                std::to_string(SELFLAG_TAKEFOCUS)));
    ASSERT_TRUE(WaitUntil([&] { return journey::FocusOf(options) == box; }));
    for (const Item& item : reader.Tree(options)) {
        EXPECT_EQ(item.path == check.path, item.Has(STATE_SYSTEM_FOCUSED)) << item.path << " " << item.name;
    }
    seen.clear();
    Events();
    PostKey(box, VK_SPACE);
    EXPECT_TRUE(EventCame(seen, "statechange", boxName));
    EXPECT_NE(was, read(options, boxName, ROLE_SYSTEM_CHECKBUTTON).Has(STATE_SYSTEM_CHECKED));

    // The search list: one item per found process, none selected; Down in
    // the filter selects it while the focus stays in the filter, and the
    // reader hears the item; Enter kills it, and the status text is heard.
    PostKey(main, VK_F3);
    HWND search = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (search = VisibleWindowOf(program->Pid(), L"ZelvaneForm", L"Search...")) != nullptr; }));
    const HWND filter = journey::ChildOfClass(search, L"Edit");
    ASSERT_TRUE(WaitUntil([&] { return journey::FocusOf(search) == filter; }));
    for (const wchar_t c : Widen(target.Name())) ::PostMessageW(filter, WM_CHAR, c, 1);
    const std::string itemName = "-> " + target.Name();
    std::vector<Item> items;
    ASSERT_TRUE(WaitUntil([&] {
        const auto tree = reader.Tree(search);
        const Item* list = Named(tree, "Найденные процессы");
        items.clear();
        for (const Item& item : tree) {
            if (list && item.Parent() == list->path) items.push_back(item);
        }
        return list && list->role == ROLE_SYSTEM_LIST && items.size() == 1;
    }));
    EXPECT_EQ(ROLE_SYSTEM_LISTITEM, items[0].role);
    EXPECT_EQ(itemName, items[0].name.substr(items[0].name.find("->")));
    EXPECT_FALSE(items[0].Has(STATE_SYSTEM_SELECTED));
    seen.clear();
    Events();
    PostKey(filter, VK_DOWN);
    EXPECT_TRUE(EventCame(seen, "selection", items[0].name));
    const Item selected = read(search, items[0].name, ROLE_SYSTEM_LISTITEM);
    EXPECT_TRUE(selected.Has(STATE_SYSTEM_SELECTED));
    EXPECT_FALSE(selected.Has(STATE_SYSTEM_FOCUSED));
    EXPECT_EQ(filter, journey::FocusOf(search));
    PostKey(filter, VK_RETURN);
    EXPECT_TRUE(EventCame(seen, "namechange", "Процесс " + target.Name() + " выгружен."));
    EXPECT_EQ(kKillExitCode, target.WaitExitCode(kPatienceMs));
}
