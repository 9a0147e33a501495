#include "windows/Search.h"

#include "base/Text.h"
#include "windows/MainWindow.h"
#include "windows/SearchFilter.h"

namespace zelvane {

namespace {

constexpr COLORREF kControlColor = RGB(166, 166, 166);
constexpr int kItemHeight = 16;
constexpr int kItemTextIndent = 2;

// The controls on Panel1: (x, y, width, height).
constexpr RECT kEdit1Bounds{8, 8, 8 + 281, 8 + 21};
constexpr RECT kProcListBounds{8, 32, 8 + 281, 32 + 286};

}  // namespace

TForm4::TForm4(MainWindow& main) : main_(main) {
    CreateBorderless({.windowText = "Search...", .width = 296, .height = 348, .color = 0xA4A4FF,
                      .caption = "[ Выборка из списка процессов ]", .captionColor = 0xFF0080, .stayOnTop = true,
                      .panelColor = ::GetSysColor(COLOR_BTNFACE)});
    CreateControls();
}

void TForm4::CreateControls() {
    Panel& panel = Panel1();
    // Flat controls: a one-pixel frame instead of the sunken 3-D edge. The
    // filter box comes first in the tab order.
    const RECT& e = kEdit1Bounds;
    Edit1 = Edit(panel, e.left, e.top, e.right - e.left, e.bottom - e.top);
    const RECT& l = kProcListBounds;
    ProcList = zelvane::ListBox(panel, l.left, l.top, l.right - l.left, l.bottom - l.top,
                                WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                                    LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT);
    ProcList.SetItemHeight(kItemHeight);
    const HWND edit = Edit1.Handle(), list = ProcList.Handle();
    panel.SetControlColors(edit, kControlColor);
    panel.SetControlColors(list, kControlColor);
    panel.OnDrawItem(list, [this](const DRAWITEMSTRUCT& item) { DrawProcItem(item); });
    panel.OnCommand(edit, EN_CHANGE, [this] { Edit1Change(); });
    panel.OnCommand(list, LBN_DBLCLK, [this] { ProcListDblClick(); });
    KeepFocusIn(edit);
    Edit1.SetAccessibleName([] { return std::string("Часть имени"); });
    ProcList.SetAccessibleName([] { return std::string("Найденные процессы"); });
}

void TForm4::DrawProcItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;  // an empty list has nothing to draw
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::SetBkColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHT) : kControlColor);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ProcList.DrawItemText(item, ProcList.ItemText(static_cast<int>(item.itemID)), kItemTextIndent);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item.rcItem);
}

void TForm4::FilterProcList() {
    const std::vector<int> items = FilterProcIndices(ProcNames, Edit1.Text());
    const auto before = static_cast<std::size_t>(ProcList.Count());

    // One repaint for the whole refill. Each item carries its entry, whose
    // key is that of the process the item was made from.
    ProcList.SetRedraw(false);
    ProcList.Clear();
    ProcList.Reserve(static_cast<int>(items.size()), 32);
    for (const int i : items) {
        const auto entry = static_cast<std::size_t>(i);
        const int at = ProcList.Add(ProcItemText(i, ProcNames[entry]));
        if (at >= 0) ProcList.SetItemData(at, entry);
    }
    ProcList.SetRedraw(true);
    // The items paint their own background; the list's brush is needed only
    // where items went away.
    ::InvalidateRect(ProcList.Handle(), nullptr, items.size() < before);
}

void TForm4::Edit1Change() {
    if (!painting_) FilterProcList();
}

void TForm4::OnPaint() {
    // A paint that arrives while FormPaint runs is not run again.
    if (painting_ || !ProcList) return;
    FormPaint();
}

void TForm4::FormPaint() {
    painting_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{painting_};

    // Back to the main window's top-right corner. Moved inside a paint, the
    // window's newly shown parts join this paint's update region. Where the
    // system keeps the window elsewhere than asked, it is not asked again for
    // the same place, so paints cannot chase each other.
    const POINT target = BelowTopRightOf(main_.Placement(), MainWindow::kBelowTop);
    const POINT now{Left(), Top()};
    const bool placed = now.x == target.x && now.y == target.y;
    const bool refused = target.x == lastTarget_.x && target.y == lastTarget_.y && now.x == landed_.x &&
                         now.y == landed_.y;
    if (!placed && !refused) {
        SetPosition(target.x, target.y);
        lastTarget_ = target;
        landed_ = POINT{Left(), Top()};
    }
    ProcNames = ProcNamesFromTable(main_.Table());
    ProcKeys = ProcKeysFromTable(main_.Table());
    Edit1.SetText("");
    FilterProcList();
}

void TForm4::Repaint() { ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

void TForm4::KillChosenProcess() {
    const int index = ProcList.SelectedIndex();
    const ProcItem item = ParseProcItem(ProcList.ItemText(index));
    const auto entry = static_cast<std::size_t>(ProcList.ItemData(index));
    if (!TableRowHoldsItem(main_.Table(), item.row, ProcKeys.at(entry))) {
        // The table was rebuilt since the list was filled and the row now holds
        // another process, perhaps one of the same name or identifier: kill
        // nothing, show the names as they are now.
        Repaint();
        return;
    }
    main_.SelectRow(item.row);
    main_.KillSelected();
    main_.ListProcesses();
    Repaint();
}

void TForm4::Edit1KeyDown(WORD key, ShiftState) {
    if (key == kVkUp) ProcList.SetSelectedIndex(ProcList.SelectedIndex() - 1);
    if (key == kVkDown) ProcList.SetSelectedIndex(ProcList.SelectedIndex() + 1);
    if (key == kVkReturn) KillChosenProcess();
}

void TForm4::ProcListKeyDown(WORD key, ShiftState) {
    if (key == kVkReturn) KillChosenProcess();
}

void TForm4::OnKeyDown(WORD key, ShiftState shift) {
    const HWND focus = ::GetFocus();
    if (focus == Edit1.Handle()) {
        Edit1KeyDown(key, shift);
    } else if (focus == ProcList.Handle()) {
        ProcListKeyDown(key, shift);
    }
}

}  // namespace zelvane
