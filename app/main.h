// The main window TForm1: title strip with the ticker and three pictures, the
// tool bar, the process table StringGrid1 with its context menu, the status
// bar, four timers and the notification-area icon. It owns the program-wide
// values of the module: the registered messages, StartHidden and
// AutorunRegistered.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/BorderlessForm.h"
#include "app/MainLogic.h"
#include "app/TrayIcon.h"
#include "cpu/LoadIndicator.h"
#include "gui/ImageList.h"
#include "gui/PopupMenu.h"
#include "gui/StringGrid.h"
#include "gui/Timer.h"
#include "processes/ProcessActions.h"
#include "processes/ProcessSnapshot.h"

namespace zelvane {

class TForm2;
class TForm3;
class TForm4;
class TForm5;

// Program-wide values of the main window's module.
extern UINT MsgShow;
extern UINT MsgClose;
extern UINT MsgHide;
extern bool StartHidden;
extern bool AutorunRegistered;

inline constexpr char kHomePageUrl[] = "http://zelvane.example.org/";

class TForm1 : public BorderlessForm {
public:
    // Creates the window and its components (the notification-area icon
    // follows the first paint); then FormCreate runs the start-up steps.
    TForm1();
    ~TForm1() override;

    // The start-up steps of the main window. Returns false when another
    // instance was found: it has been asked to show itself, and this start
    // must end at once with exit code 0.
    bool FormCreate(const std::string& firstArgument);
    // The other four windows, created after this one.
    void AttachWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5);
    // Or: how to create them, one step per window in their order (the last
    // step attaches them). The notification-area icon and then these steps
    // follow the main window's first paint, one at each idle moment: only
    // when the window and all its controls have painted and no message is
    // waiting (a window timer), so that the program shows itself sooner and
    // answers between the steps, and a second start that hands over never
    // adds an icon. The first command that needs one of the windows runs
    // the steps left at once.
    void DeferWindows(std::vector<std::function<void()>> steps);
    void EnsureWindows();
    void EnsureTrayIcon();
    // Runs the next step of the start's deferred work; false when none is left.
    bool FinishStartStep();
    // Whether the start's deferred work is still scheduled to run.
    bool StartPending() const { return finishStart_ && finishStart_->Enabled(); }

    // Rebuilds the process table from a fresh snapshot.
    void ListProcesses();
    // Fills the properties window for a table row (it is not shown).
    void FillProcessInfo(int row);
    // Applies the stored settings; raises the error of a broken value.
    void LoadStoredSettings();
    // The CPU sampler the indicator reads (the program's own, or a test's).
    void SetSampler(LoadSampler* sampler) { sampler_ = sampler; }

    // Commands (tool bar, menus, keys).
    void RefreshListClick() { ListProcesses(); }
    void AutoReLoadClick();
    void KillProcsClick();
    void SortProcessClick();
    void DetalInfoClick();
    void SettingClick();
    void AboutProgClick();
    void N6Click();
    void N5Click() { DetalInfoClick(); }
    void StringGrid1DblClick() { N6Click(); }
    void N4Idle1Click() { PriorityCommand(4); }
    void N8Normal1Click() { PriorityCommand(8); }
    void N13High1Click() { PriorityCommand(13); }
    void N24Real1Click() { PriorityCommand(24); }
    void N2Click();
    void N3Click() { SettingClick(); }
    void About1Click() { AboutProgClick(); }
    void N4Click() { Close(); }
    void JvTrayIcon1Click();
    void Image1Click() override { Hide(); }
    void Image2Click();
    void Image3Click() { Hide(); }
    void Timer1Timer();
    void UpdateTimer() { ListProcesses(); }
    void URLTimerTimer();
    void CPUUasgeTimerTimer();
    void FormResize();
    void FormKeyUp(WORD key, ShiftState shift);
    void HandleAppMessage(const MSG& msg);

    // Kill and priority on table rows (the search window kills through these).
    void KillProcess(int row);
    void SetStatusText(const std::string& text);
    const std::string& StatusText() const { return statusText_; }

    StringGrid& Grid() { return *StringGrid1; }
    Timer& RepaintTimer() { return *Timer1; }
    Timer& UpdateTimerObject() { return *Update; }
    Timer& CpuTimer() { return *CPUUasgeTimer; }
    TJvTrayIcon& TrayIcon();
    PopupMenu& TableMenu() { return *PopupMenu1; }
    PopupMenu& TrayMenu() { return *PopupMenu2; }
    HWND ToolBar() const { return ToolBar1; }
    HWND StatusBar() const { return StatusBar1; }
    std::string TickerText() const;
    bool AutoReLoadDown() const;

    // Tests put a recording seam in place of the system's process calls,
    void SetProcessControl(std::unique_ptr<ProcessControl> control) { processControl_ = std::move(control); }
    // and a snapshot of their own in place of the system's (null: the system's).
    using SnapshotSource = std::function<RebuildResult(GridModel& table)>;
    void SetSnapshotSource(SnapshotSource source) { snapshotSource_ = std::move(source); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void LayoutChildren() override;
    void OnKeyUp(WORD key, ShiftState shift) override { FormKeyUp(key, shift); }
    bool CloseQuery() override { return true; }
    void OnPaint() override;
    void OnVisibilityChanged(bool visible) override;

private:
    void CreateToolBar();
    void CreateMenus();
    void FocusLastControl();
    void PriorityCommand(int level);
    void RaiseOwnPriority();
    std::string ToolButtonHint(int command) const;

    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm5* form5_ = nullptr;

    std::unique_ptr<ImageControl> Image2;
    std::unique_ptr<ImageControl> Image3;
    HWND ToolBar1 = nullptr;
    std::unique_ptr<StringGrid> StringGrid1;
    HWND StatusBar1 = nullptr;
    std::string statusText_;
    std::unique_ptr<ImageList> ImageList1;
    std::unique_ptr<ImageList> ImageList2;
    std::unique_ptr<PopupMenu> PopupMenu1;
    std::unique_ptr<PopupMenu> PopupMenu2;
    std::unique_ptr<TJvTrayIcon> JvTrayIcon1;
    std::unique_ptr<Timer> Timer1;
    std::unique_ptr<Timer> Update;
    std::unique_ptr<Timer> CPUUasgeTimer;
    std::unique_ptr<Timer> URLTimer;
    Ticker ticker_{kHomePageUrl};
    std::unique_ptr<ProcessControl> processControl_;
    SnapshotSource snapshotSource_;
    LoadSampler* sampler_ = nullptr;
    std::deque<std::function<void()>> windowSteps_;
    std::unique_ptr<Timer> finishStart_;
    bool firstPaintDone_ = false;
    bool cpuErrorShown_ = false;
    // The window that the tray menu's last command opened, until the click
    // that follows the menu brings it back in front.
    Form* trayOpened_ = nullptr;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the window was last active
    // The path column is sized when the window is first shown and at every
    // maximise toggle, never at a show from hidden (that would drop a width
    // the user dragged).
    bool shownOnce_ = false;
    bool zoomed_ = false;
};

}  // namespace zelvane
