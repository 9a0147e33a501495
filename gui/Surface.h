// What forms and panels share: a background colour, a font, labels drawn on
// the surface itself, colours and event handlers for the standard controls on
// it, and flicker-free painting through a memory bitmap.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Handles.h"
#include "gui/Timer.h"
#include "gui/Window.h"

namespace zelvane {

// The fixed light grey of the program's panels: the title strips' button
// panels, the tool bar's strip, the settings dialog and the properties boxes.
// It stays the same whatever the system's colours are, unlike the system's
// button face (COLOR_BTNFACE), which the search window's panel takes.
inline constexpr COLORREF kPanelColor = RGB(212, 208, 200);

// A font by face and pixel height, shared by everything that draws text.
Font MakeFont(const std::string& face, int pixelHeight, bool bold = false);

// A text drawn directly on a surface (no window of its own). Lines are split
// at "\r\n"; a label with a size of 0 is sized to its text.
struct Label {
    std::string name;
    RECT bounds{};  // where it is drawn, at the surface's DPI
    Box at96{};     // as the layout gives it (a size of 0: sized to the text)
    std::string text;
    COLORREF color = RGB(0, 0, 0);
    bool visible = true;
    std::function<void()> onClick;
    std::function<void()> onMouseMove;
    // What a screen reader says for it when that is not its text (a ticker's
    // whole text; the name of a picture painted in its place).
    std::string spokenName;
    bool picture = false;  // stands for a picture painted there, not a text
    // A picture the surface paints in the label's box under the texts (not
    // taken over): as it is at 96 DPI, else a copy scaled with a smoothing
    // filter (a photo takes that well, where a drawing would blur).
    HBITMAP image = nullptr;
    // Drawn in the surface's narrow font: at this DPI its text would run a
    // pixel or so past where it ends at 96 DPI, scaled, into a child window.
    bool narrow = false;
};

class Surface : public Window {
public:
    // Which edges of a child window move with the surface's right and bottom
    // sides when the surface is sized: such an edge keeps its 96-DPI distance
    // from that side, scaled. The other edges stay where the layout puts them.
    enum Follow : unsigned { kFixed = 0, kLeftFollows = 1, kTopFollows = 2, kRightFollows = 4, kBottomFollows = 8 };

    IAccessible* NewAccessibleObject() override;
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF c);
    HFONT Font() const { return font_.Get(); }
    // The font a label is drawn in: the surface's, or its narrow one.
    HFONT LabelFont(const Label& l) const { return l.narrow ? narrowFont_.Get() : font_.Get(); }

    // Position and size in 96-DPI pixels, scaled to the surface's DPI.
    Label& AddLabel(const std::string& name, int x, int y, const std::string& text, COLORREF color = RGB(0, 0, 0),
                    int w = 0, int h = 0);
    // The label of that name (never null); raises the program's error when the
    // surface has none.
    Label* FindLabel(const std::string& name);
    const std::vector<Label>& Labels() const { return labels_; }
    // Redraws after a label changed.
    void Refresh() { ::InvalidateRect(hwnd_, nullptr, FALSE); }

    // Creates a standard control as a child, with the surface's font, its
    // box given in 96-DPI pixels and kept for a change of DPI; raises the
    // program's error when the system refuses it.
    HWND AddControl(const wchar_t* className, DWORD style, DWORD exStyle, int x, int y, int w, int h,
                    const std::string& text = "");
    // Keeps the 96-DPI box of a child window, to be placed again at another DPI.
    void AdoptChild(HWND child, const Box& at96) override;
    // Places a child window at `at96`, a box within the surface's 96-DPI
    // size, and keeps it there at every size and DPI of the surface: the
    // child's one box, which `follow` (of Follow) lets follow the size.
    void SetChildBounds(HWND child, const Box& at96, unsigned follow = kFixed);
    // Runs `apply` with the surface's DPI now and again after every change of
    // DPI (in place of what was kept for the same child and `what`): the
    // settings of a child control that are given at 96 DPI.
    void KeepAtDpi(HWND child, UINT what, std::function<void(int dpi)> apply);
    // The font, the labels and every child at `dpi`: children are moved
    // without being redrawn (the caller redraws once), and our own child
    // windows apply the DPI to themselves.
    void ApplyDpi(int dpi) override;
    // Colours of a standard child control (edit, list box, check box).
    void SetControlColors(HWND child, COLORREF background, COLORREF text = RGB(0, 0, 0));
    // WM_COMMAND notification `code` from a child control.
    void OnCommand(HWND child, WORD code, std::function<void()> handler);
    // WM_NOTIFY from a child control; the handler's result is returned.
    void OnNotify(HWND child, std::function<LRESULT(NMHDR*)> handler);
    // WM_DRAWITEM from an owner-drawn child control.
    void OnDrawItem(HWND child, std::function<void(const DRAWITEMSTRUCT&)> handler);

    // The mouse moved over the surface itself (not over a child window).
    std::function<void(POINT)> onMouseMove;

protected:
    // Creates the window at (x, y, w, h) in pixels of the DPI already set,
    // with the surface's font for that DPI.
    void CreateSurface(const wchar_t* className, DWORD exStyle, DWORD style, const std::string& text, int x, int y,
                       int w, int h, HWND parent, COLORREF color);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Draws what the surface shows besides its background and labels.
    virtual void PaintSurface(HDC dc, const RECT& client) { (void)dc; (void)client; }
    void DrawLabels(HDC dc);
    // Paints the rectangle `r` of the client area at once, without a WM_PAINT
    // round trip (for what changes several times a second); nothing while the
    // window is hidden.
    void PaintNow(const RECT& r);
    // Places the children at the surface's size and DPI (`all`), or only
    // those that follow its size.
    void PlaceChildren(bool all, UINT flags);

    // The client area's size in 96-DPI pixels as the layout gives it: what
    // the edges that follow the size keep their distances from.
    SIZE size96_{};
    COLORREF color_ = kPanelColor;
    zelvane::Font font_;  // qualified: Font() above is the getter
    zelvane::Font narrowFont_;  // one pixel shorter, for labels marked narrow
    std::vector<Label> labels_;

private:
    void Paint();
    void PaintArea(HDC dc, const RECT& r);
    // Colours, commands, notifications and drawing asked for by child controls.
    std::optional<LRESULT> OnChildControl(UINT msg, WPARAM wp, LPARAM lp);
    // The mouse over the surface's labels and the surface itself.
    std::optional<LRESULT> OnMouse(UINT msg, LPARAM lp);
    Label* LabelAt(POINT p);
    void PlaceLabel(Label& l);
    // Whether `r` overlaps a child window of the surface, where it is at its DPI.
    bool RunsIntoChild(const RECT& r) const;
    // Places again the labels sized to their text (a child came beside them).
    void PlaceTextSizedLabels();
    // The surface's font and its narrow one, for its DPI.
    void MakeFonts();
    struct Child {
        HWND hwnd;
        Box at96;
        unsigned follow;
        bool ours;  // a window of ours, which applies a DPI itself
    };
    // Where `c` stands in a client area `client` pixels wide and high.
    Box Placed(const Child& c, SIZE client) const;
    // An image label's picture as drawn at the surface's DPI.
    HBITMAP DrawnImage(const Label& l);
    std::vector<Child> children_;
    std::map<std::pair<HWND, UINT>, std::function<void(int dpi)>> keptAtDpi_;
    std::map<HBITMAP, Bitmap> scaledImages_;  // the image labels' copies for the DPI
    struct ControlColors {
        COLORREF text;
        Brush brush;
        COLORREF background;
    };
    std::map<HWND, ControlColors> controlColors_;
    std::map<std::pair<HWND, WORD>, std::function<void()>> commands_;
    std::map<HWND, std::function<LRESULT(NMHDR*)>> notifies_;
    std::map<HWND, std::function<void(const DRAWITEMSTRUCT&)>> drawItems_;
    Label* pressed_ = nullptr;
};

// A panel: a child surface with a raised/lowered bevel frame and an optional
// centred caption.
class Panel : public Surface {
public:
    enum class Bevel { None, Raised, Lowered };
    // Position and size in 96-DPI pixels.
    Panel(HWND parent, int x, int y, int w, int h, COLORREF color, Bevel outer, Bevel inner = Bevel::None,
          const std::string& caption = "");
    void SetInnerBevel(Bevel b);
    // The panel becomes a stop of its window's Tab order, as a push button
    // is: it takes the keyboard focus, draws it inside its bevels, and Enter
    // or Space released on it (without Ctrl or Alt) is a click.
    void SetTabStop();
    // A lowered line along the bottom of `at96` (a bevel shaped as a bottom
    // line): a shadow line over a highlight line, one pixel each.
    void AddBevelLine(const Box& at96) { bevelLines_.push_back(at96); }
    std::function<void()> onClick;          // left button released over the panel
    std::function<void(int button)> onMouseDown;
    std::function<void(int button)> onMouseUp;
    // Draws on the panel over its background and bevels, under its labels.
    std::function<void(HDC dc)> onPaint;

    void OnKeyRelease(WORD key) override;

protected:
    // A panel that takes the keyboard focus itself: a tab stop, with no
    // controls of its own to pass the focus on to. At `at96`, no caption.
    struct TakesFocus {};
    Panel(TakesFocus, HWND parent, const Box& at96, COLORREF color, Bevel outer);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintSurface(HDC dc, const RECT& client) override;

private:
    void Create(HWND parent, const Box& at96, COLORREF color, DWORD exStyle, DWORD style);

    Bevel outer_;
    Bevel inner_;
    std::string caption_;
    std::vector<Box> bevelLines_;
    bool tabStop_ = false;
};

}  // namespace zelvane
