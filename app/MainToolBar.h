// The main window's tool bar ToolBar1: seven picture buttons under the title
// strip, each calling one of the main window's commands, with its hint in the
// status bar and in a tooltip, on a strip painted in the panel colour. The
// button "Автообновление" stays down while the list rebuilds by itself.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "gui/Controls.h"

namespace zelvane {

class Surface;

class MainToolBar {
public:
    // In 96-DPI pixels.
    static constexpr int kTop = 22;     // below the title strip
    static constexpr int kHeight = 22;

    // What the buttons call, left to right.
    struct Commands {
        std::function<void()> refresh;     // "[Обновить]"
        std::function<void()> autoReLoad;  // "[Автообновление]", after its state changed
        std::function<void()> kill;        // "[\"Убрать\" процесс]"
        std::function<void()> search;
        std::function<void()> details;     // "Расширенная информация процессе"
        std::function<void()> settings;    // "[Настройки]"
        std::function<void()> about;       // "[About]"
    };

    // Creates the tool bar across the top of the main window `main`, `width`
    // pixels wide at 96 DPI and following the window's width, with the
    // pictures of the tool bar strip; each button calls its command of
    // `commands`.
    MainToolBar(Surface& main, int width, Commands commands);
    MainToolBar(const MainToolBar&) = delete;
    MainToolBar& operator=(const MainToolBar&) = delete;

    HWND Handle() const { return bar_.Handle(); }
    // Whether "Автообновление" is down.
    bool AutoReLoadDown() const;
    // The button with the keyboard focus pressed, as a click presses it
    // (Enter, released in the bar).
    void PressFocused() { bar_.PressFocused(); }

    // What of the main window's messages is the tool bar's: a button's
    // WM_COMMAND (runs its command) and the tooltip's request for a button's
    // text (WM_NOTIFY). Returns the message's result, or nothing when the
    // message is not the tool bar's.
    std::optional<LRESULT> Dispatch(UINT msg, WPARAM wp, LPARAM lp);

private:
    struct Button;
    static std::span<const Button> Buttons();
    // The button of `command` (no separator), or null.
    static const Button* Find(int command);
    // The hint of the button of `command`; "" for none.
    static std::string Hint(int command);

    Commands commands_;
    ToolBar bar_;
    std::wstring tipText_;  // the tooltip's text, kept while the tooltip shows it
};

}  // namespace zelvane
