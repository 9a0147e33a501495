// Names for the standard controls (edits, lists, the combo box, the check
// box, the status bar, the tool bar), which the system's own accessible
// objects leave unnamed. A named control is subclassed: its WM_GETOBJECT for
// the client area is answered by a thin object over the system's standard
// one that supplies the name and passes everything else through. Where that
// standard object reads the control as a bare client (Wine), ours answers the
// rest as well and tells readers about changes (gui/ControlAnswers). The
// status bar's name is the text it shows: a change is told on every system.
// A tool bar also gets its buttons as children (named by
// `buttonName(command)`, push buttons, pressed while down, their default
// action the click's command).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zelvane {

void NameControl(HWND control, std::function<std::string()> name);
void NameToolBar(HWND toolBar, std::function<std::string()> name, std::function<std::string(int command)> buttonName);

}  // namespace zelvane
