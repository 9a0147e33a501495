// The main window TForm1: title strip with the ticker and three pictures, the
// tool bar, the process table StringGrid1 with its context menu, the status
// bar, four timers and the notification-area icon. It owns the program-wide
// values of the module: the registered messages, StartHidden and
// AutorunRegistered. The other windows reach it through MainWindow, and it
// opens them through OtherWindows: it includes none of them.
#pragma once

#include <memory>
#include <string>

#include "gui/BorderlessForm.h"
#include "app/MainLogic.h"
#include "app/MainToolBar.h"
#include "app/OtherWindows.h"
#include "app/TrayGauge.h"
#include "app/TrayIcon.h"
#include "cpu/LoadIndicator.h"
#include "gui/Controls.h"
#include "gui/ImageList.h"
#include "gui/PictureSizes.h"
#include "gui/PopupMenu.h"
#include "gui/StringGrid.h"
#include "gui/Timer.h"
#include "processes/ProcessActions.h"
#include "processes/ProcessSnapshot.h"
#include "windows/MainWindow.h"

namespace zelvane {

// Program-wide values of the main window's module.
extern UINT MsgShow;
extern UINT MsgClose;
extern UINT MsgHide;
extern bool StartHidden;
extern bool AutorunRegistered;

inline constexpr char kHomePageUrl[] = "http://zelvane.example.org/";

class TForm1 : public BorderlessForm, public MainWindow {
public:
    // Creates the window and its components (the notification-area icon
    // follows the first paint); then FormCreate runs the start-up steps.
    TForm1();
    ~TForm1() override;

    // The start-up steps of the main window. Returns false when another
    // instance was found: it has been asked to show itself, and this start
    // must end at once with exit code 0.
    bool FormCreate(const std::string& firstArgument);
    // The other windows. The notification-area icon and then their creation,
    // one window per step, follow the main window's first paint, one step at
    // each idle moment: only when the window and all its controls have
    // painted and no message is waiting (a window timer), so that the program
    // shows itself sooner and answers between the steps, and a second start
    // that hands over never adds an icon. A command that needs one of the
    // windows creates those left at once.
    void SetOtherWindows(OtherWindows* windows) { windows_ = windows; }
    // The CPU sampler the indicator reads (the program's own, or a test's).
    void SetSampler(LoadSampler* sampler) { sampler_ = sampler; }
    // Tests put a recording seam in place of the system's process calls,
    void SetProcessControl(std::unique_ptr<ProcessControl> control) { processControl_ = std::move(control); }
    // and a process source of their own in place of the system's (null: the
    // system's again).
    void SetProcessSource(ProcessSource* source) { processSource_ = source ? source : &systemProcesses_; }

    // Tab and Shift+Tab take the focus round the table, the tool bar and the
    // title strip's picture panel.
    bool PreviewKey(const MSG& msg) override;

    // MainWindow
    const GridModel& Table() const override { return StringGrid1->Model(); }
    void SelectRow(int row) override;
    void KillSelected() override { N6Click(); }
    void ListProcesses() override;
    SettingsInForce CurrentSettings() const override;
    RECT Placement() const override { return Bounds(); }
    // SettingsTarget: the timers Update, Timer1 and CPUUasgeTimer, the
    // table's look, the autorun flag.
    void SetUpdateInterval(uint32_t ms) override;
    void SetRepaintInterval(uint32_t ms) override;
    void SetCpuInterval(uint32_t ms) override;
    void SetTableColor(uint32_t color) override;
    void SetHeaderColor(uint32_t color) override;
    void SetFontColor(uint32_t color) override;
    void SetFontName(const std::string& face) override;
    void SetAutorunRegistered(bool registered) override { AutorunRegistered = registered; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnKeyUp(WORD key, ShiftState shift) override { FormKeyUp(key, shift); }
    bool CloseQuery() override { return true; }
    void OnPaint() override;
    void OnVisibilityChanged(bool visible) override;

private:
    friend class TForm1Probe;  // the tests' view of the controls and handlers

    // Commands (tool bar, menus, keys, timers).
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
    void N3Click();
    void About1Click();
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
    // The focus to the next (`step` 1) or the previous (-1) of the table,
    // the tool bar and the picture panel, round in that order.
    void MoveFocus(int step);

    // Kill on a table row.
    void KillProcess(int row);
    void PriorityCommand(int level);
    // Applies the stored settings; raises the error of a broken value.
    void LoadStoredSettings();
    void SetStatusText(const std::string& text);
    bool AutoReLoadDown() const { return ToolBar1->AutoReLoadDown(); }

    // The start's deferred work: the tray icon, then the other windows.
    bool FinishStartStep();
    void EnsureTrayIcon();
    TJvTrayIcon& TrayIcon();

    MainToolBar::Commands ToolBarCommands();
    void CreateMenus();
    void RaiseOwnPriority();

    OtherWindows* windows_ = nullptr;

    std::unique_ptr<MainToolBar> ToolBar1;
    std::unique_ptr<StringGrid> StringGrid1;
    zelvane::StatusBar StatusBar1;
    std::string statusText_;
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
    SystemProcessSource systemProcesses_;  // with the paths and the list it keeps between rebuilds
    ProcessSource* processSource_ = &systemProcesses_;
    LoadSampler* sampler_ = nullptr;
    std::unique_ptr<Timer> finishStart_;
    bool firstPaintDone_ = false;
    TrayGauge gauge_;
    // The window that the tray menu's last command opened, until the click
    // that follows the menu brings it back in front.
    Form* trayOpened_ = nullptr;
    // The path column is sized when the window is first shown and at every
    // maximise toggle, never at a show from hidden (that would drop a width
    // the user dragged).
    bool shownOnce_ = false;
    bool zoomed_ = false;
};

}  // namespace zelvane
