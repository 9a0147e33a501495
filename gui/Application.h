// The application object: the hidden top-level application window (the one
// window of the program that carries the application title and the taskbar
// entry, and owns every form), the message loop with its application-wide
// hook and key preview, the automatic status hints and the error box that
// every report of an error reaches (ReportError, gui/ErrorReport).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/FormOwner.h"
#include "gui/Window.h"

namespace zelvane {

class Form;

class Application : public Window, public FormOwner {
public:
    static Application& Get();

    // Creates the application window (untitled until SetTitle).
    void Initialize();
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // Sees every message taken from the queue, before it is dispatched, and
    // every message that reaches the application window, also through a
    // loop that is not ours (a message box, a menu, a common dialog): the
    // requests of other programs are posted to that window and must not be
    // lost while such a loop runs. A message for the application window is
    // seen once, by its window procedure.
    std::function<void(const MSG&)> onMessage;
    // The hint of the control under the mouse pointer changed (possibly to "").
    std::function<void(const std::string&)> onHint;
    // The application window received SC_MINIMIZE; true when it was handled.
    std::function<bool()> onMinimize;

    // Runs the message loop until the main form is closed; returns the exit code.
    int Run();
    // One message taken from the queue, handled as the loop handles it: the
    // application-wide hook, the hints, key preview and dialog keys, then
    // translation and its window.
    void Dispatch(MSG& msg);
    // Ends the loop: posts WM_QUIT with `exitCode`.
    void Terminate(int exitCode = 0);

    void SetMainForm(Form* form) { mainForm_ = form; }
    Form* MainForm() const { return mainForm_; }

    // Hints for the automatic status text: a window of ours, or a function that
    // answers for a point inside a control (tool bar buttons).
    void SetHint(HWND control, std::function<std::string(POINT client)> hint);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Installs the error box as the handler of every report (gui/ErrorReport).
    Application();
    // The owner of the forms (gui/FormOwner): forms register themselves so
    // that key preview and the taskbar entry know them.
    HWND OwnerWindow() const override { return hwnd_; }
    void AddForm(Form* form) override;
    void RemoveForm(Form* form) override;
    void FormShownOrHidden() override;
    void FormDestroyed(Form* form) override;
    void ForgetPressedKeys() override;
    // The error box: caption = application title, error icon, OK. Returns
    // after the box is closed.
    void ShowError(const std::string& boxText);
    bool PreTranslate(MSG& msg);
    void TrackHint(const MSG& msg);

    std::string title_;
    std::vector<Form*> forms_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
    int exitCode_ = 0;
    std::string lastHint_;
    HWND leaveTracked_ = nullptr;  // the control whose leave is being tracked
    struct HintSource {
        HWND hwnd;
        std::function<std::string(POINT)> fn;
    };
    std::vector<HintSource> hints_;
};

}  // namespace zelvane
