// The tests' view of the main window: its controls, timers and handlers, which
// the program's other windows reach only through MainWindow.
#pragma once

#include "app/main.h"

namespace zelvane {

class TForm1Probe {
public:
    explicit TForm1Probe(TForm1& form) : f_(form) {}

    StringGrid& Grid() { return *f_.StringGrid1; }
    Timer& RepaintTimer() { return *f_.Timer1; }
    Timer& UpdateTimerObject() { return *f_.Update; }
    Timer& CpuTimer() { return *f_.CPUUasgeTimer; }
    TJvTrayIcon& TrayIcon() { return f_.TrayIcon(); }
    PopupMenu& TableMenu() { return *f_.PopupMenu1; }
    PopupMenu& TrayMenu() { return *f_.PopupMenu2; }
    HWND ToolBar() const { return f_.ToolBar1->Handle(); }
    int ToolBarFocus() const { return FocusedToolButton(f_.ToolBar1->Handle()); }
    HWND StatusBar() const { return f_.StatusBar1.Handle(); }
    const std::string& StatusText() const { return f_.statusText_; }
    void SetStatusText(const std::string& text) { f_.SetStatusText(text); }
    // The title strip's ticker as last drawn.
    std::string TickerText() const {
        const Label* subj = f_.FindLabel("Subj");
        return subj ? subj->text : std::string();
    }
    // Whether the start's deferred work (the tray icon, the other windows) is
    // still scheduled.
    bool StartPending() const { return f_.finishStart_ && f_.finishStart_->Enabled(); }

    void RefreshListClick() { f_.RefreshListClick(); }
    void AutoReLoadClick() { f_.AutoReLoadClick(); }
    void KillProcsClick() { f_.KillProcsClick(); }
    void SortProcessClick() { f_.SortProcessClick(); }
    void DetalInfoClick() { f_.DetalInfoClick(); }
    void SettingClick() { f_.SettingClick(); }
    void AboutProgClick() { f_.AboutProgClick(); }
    void N6Click() { f_.N6Click(); }
    void About1Click() { f_.About1Click(); }
    void JvTrayIcon1Click() { f_.JvTrayIcon1Click(); }
    void Image1Click() { f_.Image1Click(); }
    void Image2Click() { f_.Image2Click(); }
    void Image3Click() { f_.Image3Click(); }
    void URLTimerTimer() { f_.URLTimerTimer(); }
    void CPUUasgeTimerTimer() { f_.CPUUasgeTimerTimer(); }
    void FormKeyUp(WORD key, ShiftState shift) { f_.FormKeyUp(key, shift); }

private:
    TForm1& f_;
};

inline TForm1Probe Probe(TForm1& form) { return TForm1Probe(form); }

// What the program keeps of a timer for itself: its identifier with the
// owner window (the WM_TIMER a test sends), and how many periods it started.
class TimerProbe {
public:
    static UINT_PTR Id(const Timer& timer) { return timer.id_; }
    static unsigned PeriodsStarted(const Timer& timer) { return timer.periodsStarted_; }
};

}  // namespace zelvane
