// The properties window TForm5: the memory counters and the program file's
// date and size of one process, one fact per edit box. It is filled for a row
// of the main window's table (FillProcessInfo) and then shown; it places
// itself at the main window's top-right corner and hides.
#pragma once

#include <array>
#include <string>

#include "gui/BorderlessForm.h"
#include "gui/Controls.h"

namespace zelvane {

class GridModel;
class MainWindow;

// What every box holds before its value is filled.
inline constexpr char kEmptyParam[] = "<empty param>";

class TForm5 : public BorderlessForm {
public:
    static constexpr int kEditCount = 11;

    explicit TForm5(MainWindow& main);

    // Fills the boxes for row `row` of the process table: every box first
    // holds kEmptyParam, then the program file's date and size and the
    // process's memory counters, where the system gives them.
    void FillProcessInfo(const GridModel& table, int row);

    // Box k (1 ... 11), Edit1 ... Edit11.
    HWND Edit(int k) const { return Box(k).Handle(); }
    void SetEditText(int k, const std::string& text) { Box(k).SetText(text); }
    std::string EditText(int k) const { return Box(k).Text(); }

    // Where the window belongs: right edges aligned with the main window,
    // 20 pixels below its top edge.
    POINT HomePosition() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override { FormPaint(); }

private:
    // Returns the window to its place at every paint.
    void FormPaint();
    zelvane::Edit Box(int k) const { return edits_.at(static_cast<std::size_t>(k - 1)); }

    MainWindow& main_;
    std::array<zelvane::Edit, kEditCount> edits_{};
};

}  // namespace zelvane
