#include "app/main.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Application.h"
#include "gui/ForeignLoop.h"
#include "gui/Pictures.h"
#include "processes/ProcessControlWin32.h"
#include "processes/ProcessSnapshot.h"
#include "processes/ProcessTable.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "sys/WindowsVersion.h"

namespace zelvane {

UINT MsgShow = 0;
UINT MsgClose = 0;
UINT MsgHide = 0;
bool StartHidden = false;
bool AutorunRegistered = false;

namespace {

constexpr COLORREF kMainColor = 0xE2BAD2;
constexpr int kClientWidth = 626;
constexpr int kClientHeight = 460;
constexpr int kStatusHeight = 19;
constexpr int kClientTop = MainToolBar::kTop + MainToolBar::kHeight;  // Panel1 below the tool bar
// What the path column leaves of the window's width beside the other columns:
// the table's frame, its scroll bar and the lines between the columns.
constexpr int kPathColumnSpare = 30;
// The shortest timer interval the system keeps.
constexpr UINT kIdleStepInterval = USER_TIMER_MINIMUM;
constexpr int kInitialColumnWidths[6] = {103, 68, 55, 22, 48, 302};

}  // namespace

TForm1::TForm1() : processControl_(nullptr), systemProcesses_(IsWinNT()) {
    CreateBorderless({.windowText = "Zelvane v " ZELVANE_VERSION " - процессы", .width = kClientWidth, .height = kClientHeight,
                      .color = kMainColor, .caption = "[ Zelvane v " ZELVANE_VERSION " ] by", .panelColor = kMainColor,
                      .buttonPanelWidth = 75, .closeImageX = 56, .clientTop = kClientTop});
    panel1_->SetInnerBevel(Panel::Bevel::None);
    AddLabel("Subj", 192, 4, "", 0x4E9B00, 420, 13);

    // Image3 and Image2, named as the system's own caption buttons are; the
    // maximise picture keeps its one drawing in both states.
    AddTitlePicture(
        8, [](const TitlePictures& p) { return p.minimise.Get(); }, [] { return std::string("Свернуть"); },
        [this] { Image3Click(); });
    AddTitlePicture(
        32, [](const TitlePictures& p) { return p.maximise.Get(); },
        [this] { return std::string(::IsZoomed(hwnd_) ? "Восстановить" : "Развернуть"); }, [this] { Image2Click(); });
    FindLabel("Subj")->spokenName = kHomePageUrl;

    ImageList2 = std::make_unique<ImageList>(NotificationAreaImageList(PictureKind::Gauge));
    ToolBar1 = std::make_unique<MainToolBar>(*this, kClientWidth, ToolBarCommands());

    // The table takes the panel but for the status bar at its bottom.
    const int panelHeight = kClientHeight - kClientTop, gridHeight = panelHeight - kStatusHeight;
    StringGrid1 = std::make_unique<StringGrid>(panel1_->Handle(), 0, 0, kClientWidth, gridHeight, 6, 2, 16);
    panel1_->SetChildBounds(StringGrid1->Handle(), {0, 0, kClientWidth, gridHeight},
                            Surface::kRightFollows | Surface::kBottomFollows);
    StringGrid1->SetColWidths96({std::begin(kInitialColumnWidths), std::end(kInitialColumnWidths)});
    StringGrid1->onDblClick = [this] { StringGrid1DblClick(); };
    StringGrid1->accessibleName = [] { return std::string("Процессы"); };
    // The table is the one control that takes keys.
    KeepFocusIn(StringGrid1->Handle());

    StatusBar1 = zelvane::StatusBar(*panel1_, 0, gridHeight, kClientWidth, kStatusHeight);
    StatusBar1.SetBounds({0, gridHeight, kClientWidth, panelHeight},
                         Surface::kTopFollows | Surface::kRightFollows | Surface::kBottomFollows);
    SetStatusText("Перед вами всё что висит в памяти:");
    StatusBar1.SetAccessibleName([this] { return statusText_.empty() ? std::string("Строка состояния") : statusText_; });
    Application::Get().onHint = [this](const std::string& hint) { SetStatusText(hint); };

    CreateMenus();
    StringGrid1->onContextMenu = [this](POINT p) { PopupMenu1->Popup(hwnd_, p); };

    Timer1 = std::make_unique<Timer>(*this, kDefaultRepaintInterval, true, [this] { Timer1Timer(); });
    Update = std::make_unique<Timer>(*this, kDefaultUpdateInterval, false, [this] { UpdateTimer(); });
    CPUUasgeTimer = std::make_unique<Timer>(*this, kDefaultCpuInterval, true, [this] { CPUUasgeTimerTimer(); });
    URLTimer = std::make_unique<Timer>(*this, 200, true, [this] { URLTimerTimer(); });
    // The periodic timers that run at start begin on one phase.
    StartOnOnePhase({Update.get(), CPUUasgeTimer.get(), URLTimer.get()});

    // The kill question belongs to the window the kill came from (the search
    // window's Enter, or this one's).
    processControl_ = std::make_unique<ProcessControlWin32>([this] {
        const HWND active = ::GetActiveWindow();
        return active ? active : hwnd_;
    });
    Application::Get().SetMainForm(this);
}

TForm1::~TForm1() {
    Application& app = Application::Get();
    app.onHint = nullptr;
    app.onMessage = nullptr;
    app.onMinimize = nullptr;
    if (app.Title() == "Zelvane") app.SetTitle("");
}

MainToolBar::Commands TForm1::ToolBarCommands() {
    return {
        .refresh = [this] { RefreshListClick(); },
        .autoReLoad = [this] { AutoReLoadClick(); },
        .kill = [this] { KillProcsClick(); },
        .search = [this] { SortProcessClick(); },
        .details = [this] { DetalInfoClick(); },
        .settings = [this] { SettingClick(); },
        .about = [this] { AboutProgClick(); },
    };
}

void TForm1::CreateMenus() {
    using Item = PopupMenu::Item;
    std::vector<Item> table;
    table.push_back({"N6", "Выгрузить процесс", [this] { N6Click(); }, false, {}});
    table.push_back({"N1",
                     "Установить прооритет",
                     nullptr,
                     false,
                     {
                         {"N4Idle1", "4 (Idle)", [this] { N4Idle1Click(); }, false, {}},
                         {"N8Normal1", "8 (Normal)", [this] { N8Normal1Click(); }, false, {}},
                         {"N13High1", "13 (High)", [this] { N13High1Click(); }, false, {}},
                         {"N24Real1", "24 (Realtime)", [this] { N24Real1Click(); }, false, {}},
                     }});
    table.push_back({"N5", "Свойства", [this] { N5Click(); }, false, {}});
    PopupMenu1 = std::make_unique<PopupMenu>(std::move(table));

    std::vector<Item> tray;
    tray.push_back({"N2", "Открыть список процессов", [this] { N2Click(); }, true, {}});
    tray.push_back({"N3", "Настройка", [this] { N3Click(); }, false, {}});
    tray.push_back({"About1", "About", [this] { About1Click(); }, false, {}});
    tray.push_back({"N4", "Закрыть программу", [this] { N4Click(); }, false, {}});
    PopupMenu2 = std::make_unique<PopupMenu>(std::move(tray));
}

bool TForm1::FormCreate(const std::string& firstArgument) {
    Application& app = Application::Get();
    MsgShow = ::RegisterWindowMessageW(L"Zelvane_Show");
    MsgClose = ::RegisterWindowMessageW(L"Zelvane_Close");
    MsgHide = ::RegisterWindowMessageW(L"Zelvane_Hide");
    app.onMessage = [this](const MSG& msg) { HandleAppMessage(msg); };
    if (HWND running = ::FindWindowW(nullptr, L"Zelvane")) {
        ::PostMessageW(running, MsgShow, 0, 0);
        return false;
    }
    app.SetTitle("Zelvane");
    StartHidden = firstArgument.find("-h") != std::string::npos;
    RaiseOwnPriority();
    WriteProcessTableHeader(StringGrid1->Model());
    ListProcesses();
    LoadStoredSettings();
    return true;
}

void TForm1::RaiseOwnPriority() {
    KernelHandle self(::OpenProcess(PROCESS_SET_INFORMATION, FALSE, ::GetCurrentProcessId()));
    if (self) ::SetPriorityClass(self.Get(), HIGH_PRIORITY_CLASS);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

void TForm1::HandleAppMessage(const MSG& msg) {
    if (msg.message != MsgShow && msg.message != MsgHide && msg.message != MsgClose) return;
    // A request of another program also comes through while one of our menus
    // is open (the menu's loop dispatches it); the menu would go on taking
    // the keys meant for the window just shown, so it ends first, as it would
    // on a click elsewhere.
    ::EndMenu();
    if (msg.message == MsgShow) {
        StartHidden = false;
        Show();
    } else if (msg.message == MsgHide) {
        StartHidden = false;
        Hide();
    } else if (msg.message == MsgClose) {
        Close();
    }
}

void TForm1::OnPaint() {
    if (StartHidden) Hide();
    StartHidden = false;
    if (!firstPaintDone_) {
        firstPaintDone_ = true;
        // WM_TIMER comes only when no posted message, input or paint is
        // waiting: the first step runs after the controls' first paint too.
        finishStart_ = std::make_unique<Timer>(*this, kIdleStepInterval, true, [this] {
            bool more = false;
            try {
                more = FinishStartStep();
            } catch (...) {
                // Reported once: the deferred work stops before the error box
                // opens, whose loop would otherwise run the failing step again
                // at every tick. What is left is done by the first command
                // that needs it.
                finishStart_->SetEnabled(false);
                throw;
            }
            if (!more) finishStart_->SetEnabled(false);
        });
    }
}

bool TForm1::FinishStartStep() {
    if (!JvTrayIcon1) {
        EnsureTrayIcon();
        return windows_ != nullptr;
    }
    return windows_ && windows_->CreateNext();
}

TJvTrayIcon& TForm1::TrayIcon() {
    EnsureTrayIcon();
    return *JvTrayIcon1;
}

void TForm1::EnsureTrayIcon() {
    if (JvTrayIcon1) return;
    JvTrayIcon1 = std::make_unique<TJvTrayIcon>();
    JvTrayIcon1->icons = ImageList2.get();
    JvTrayIcon1->popupMenu = PopupMenu2.get();
    JvTrayIcon1->onClick = [this](MouseButton) { JvTrayIcon1Click(); };
    JvTrayIcon1->SetActive(true);
    Application::Get().onMinimize = [this] { return JvTrayIcon1->MinimizeApplication(Application::Get().Handle()); };
}

void TForm1::ListProcesses() {
    GridModel& table = StringGrid1->Model();
    const RebuildResult result = processSource_->Rebuild(table);
    if (result == RebuildResult::SnapshotRefused) SetStatusText(std::string(kSnapshotClosedText));
    StringGrid1->Refresh();
}

void TForm1::SetStatusText(const std::string& text) {
    // The hint arrives at every mouse move: an unchanged text is not redrawn.
    if (text == statusText_ && !text.empty()) return;
    statusText_ = text;
    StatusBar1.SetText(text);
}

void TForm1::KillProcess(int row) {
    // A protected process is killed only after a question in a message box.
    const ForeignLoopScope loop;
    if (auto status = zelvane::KillProcess(StringGrid1->Model(), row, *processControl_)) SetStatusText(*status);
}

void TForm1::N6Click() {
    KillProcess(StringGrid1->Model().SelTop());
    Timer1->SetEnabled(true);
}

void TForm1::KillProcsClick() {
    StringGrid1DblClick();
    ListProcesses();
}

void TForm1::PriorityCommand(int level) {
    const auto& model = StringGrid1->Model();
    const int row = model.SelTop();
    const RowKey key = model.Key(row);
    const std::uint32_t pid = ParseProcessId(model.Cell(kColPid, row));
    SetProcPriority(pid, level, *processControl_, key.id == pid ? key.created : 0);
    ListProcesses();
}

void TForm1::Timer1Timer() {
    ListProcesses();
    Timer1->SetEnabled(false);
}

void TForm1::AutoReLoadClick() { Update->SetEnabled(AutoReLoadDown()); }

void TForm1::SortProcessClick() {
    ListProcesses();
    if (windows_) windows_->ShowSearch();
}

void TForm1::DetalInfoClick() {
    if (windows_) windows_->ShowProperties(StringGrid1->Model().SelTop());
}

void TForm1::SettingClick() {
    if (windows_) windows_->ShowSettings();
}

void TForm1::AboutProgClick() {
    if (windows_) windows_->ShowAbout();
}

// The window that one of the tray's items opens stays in front of the main
// window, which the click that follows the menu shows (JvTrayIcon1Click).
void TForm1::N3Click() { trayOpened_ = windows_ ? windows_->ShowSettings() : nullptr; }

void TForm1::About1Click() { trayOpened_ = windows_ ? windows_->ShowAbout() : nullptr; }

void TForm1::N2Click() {
    Show();
    ListProcesses();
}

void TForm1::JvTrayIcon1Click() {
    Form* const opened = std::exchange(trayOpened_, nullptr);
    // The menu's "Закрыть программу" has destroyed the window: the program
    // is ending and there is nothing left to show or fill.
    if (!hwnd_) return;
    Show();
    ListProcesses();
    if (opened && opened->Visible()) opened->Show();
}

void TForm1::Image2Click() {
    if (::IsZoomed(hwnd_) || ::IsIconic(hwnd_)) {
        ::ShowWindow(hwnd_, SW_RESTORE);
    } else {
        ::ShowWindow(hwnd_, SW_MAXIMIZE);
    }
}

void TForm1::URLTimerTimer() {
    Label* subj = FindLabel("Subj");
    subj->text = ticker_.Step(subj->text);
    PaintNow(subj->bounds);
}

void TForm1::FormResize() { StringGrid1->StretchColumn(5, kPathColumnSpare); }

void TForm1::OnVisibilityChanged(bool visible) {
    if (!visible || shownOnce_) return;
    shownOnce_ = true;
    zoomed_ = ::IsZoomed(hwnd_) != FALSE;
    FormResize();
}

void TForm1::FormKeyUp(WORD key, ShiftState shift) {
    // Enter presses the tool button in focus; no key of the table below is Enter.
    if (key == kVkReturn && !(shift & (kCtrl | kAlt)) && PressedAndReleasedIn(ToolBar1->Handle())) {
        ToolBar1->PressFocused();
        return;
    }
    switch (MainWindowKeyAction(key, shift)) {
    case MainKeyAction::Search: SortProcessClick(); break;
    case MainKeyAction::Kill: N6Click(); break;
    case MainKeyAction::Rebuild: ListProcesses(); break;
    case MainKeyAction::Hide: Hide(); break;
    case MainKeyAction::Close: Close(); break;
    case MainKeyAction::None: break;
    }
}

bool TForm1::PreviewKey(const MSG& msg) {
    BorderlessForm::PreviewKey(msg);
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || (CurrentShiftState() & (kCtrl | kAlt))) return false;
    MoveFocus(CurrentShiftState() & kShift ? -1 : 1);
    return true;
}

void TForm1::MoveFocus(int step) {
    std::vector<HWND> stops{StringGrid1->Handle(), ToolBar1->Handle()};
    if (::IsWindowVisible(panel2_->Handle()) && ::IsWindowEnabled(panel2_->Handle())) stops.push_back(panel2_->Handle());
    const HWND focus = ::GetFocus();
    const auto n = static_cast<int>(stops.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (focus == stops[static_cast<std::size_t>(i)] || ::IsChild(stops[static_cast<std::size_t>(i)], focus)) at = i;
    }
    // From elsewhere (nothing in focus) the way starts at the table.
    const int to = at < 0 ? 0 : (at + step + n) % n;
    ::SetFocus(stops[static_cast<std::size_t>(to)]);
}

LRESULT TForm1::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SHOWWINDOW:
        // Nobody sees the ticker of a hidden window: it pauses (keeping its
        // place) instead of waking the program five times a second.
        if (lp == 0 && URLTimer) URLTimer->SetEnabled(wp != FALSE);
        break;
    case WM_SIZE: {
        // The form lays the children out once, as they follow its size.
        const LRESULT r = BorderlessForm::WndProc(msg, wp, lp);
        if (StringGrid1 && shownOnce_ && wp != SIZE_MINIMIZED && (wp == SIZE_MAXIMIZED) != zoomed_) {
            zoomed_ = wp == SIZE_MAXIMIZED;
            FormResize();
        }
        return r;
    }
    case WM_NOTIFY:
    case WM_COMMAND:
        if (const auto r = ToolBar1 ? ToolBar1->Dispatch(msg, wp, lp) : std::nullopt) return *r;
        break;
    }
    return BorderlessForm::WndProc(msg, wp, lp);
}

void TForm1::SelectRow(int row) {
    StringGrid1->SelectRow(row);
}

void TForm1::CPUUasgeTimerTimer() {
    if (sampler_) gauge_.Tick(*sampler_, [this]() -> TJvTrayIcon& { return TrayIcon(); });
}

}  // namespace zelvane
