// The properties window TForm5: the memory counters and the program file's
// date and size of one process, one fact per edit box. The main window fills
// the boxes (TForm1::FillProcessInfo) and shows the window; the window itself
// only places itself at the main window's top-right corner and hides.
#pragma once

#include <array>
#include <string>

#include "app/BorderlessForm.h"

namespace zelvane {

class TForm1;

// What every box holds before its value is filled.
inline constexpr char kEmptyParam[] = "<empty param>";

class TForm5 : public BorderlessForm {
public:
    static constexpr int kEditCount = 11;

    explicit TForm5(TForm1& main);

    // Box k (1 ... 11), Edit1 ... Edit11.
    HWND Edit(int k) const { return edits_.at(static_cast<std::size_t>(k - 1)); }
    void SetEditText(int k, const std::string& text);
    std::string EditText(int k) const;

    // Where the window belongs: right edges aligned with the main window,
    // 20 pixels below its top edge.
    POINT HomePosition() const;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint() override { FormPaint(); }

private:
    // Returns the window to its place at every paint.
    void FormPaint();

    TForm1& main_;
    std::array<HWND, kEditCount> edits_{};
};

}  // namespace zelvane
