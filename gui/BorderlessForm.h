// What the four borderless windows share: no system frame; a title strip of
// their own (the raised double frame `Bevel1` and the caption `Label1`) by
// which they are dragged; the close picture `Image1`, painted by the panel
// `Panel2` (which the main window gives two more); the client panel `Panel1`; and hiding, not closing, on the close picture, on a
// close request and on Esc (the form's hide on close).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "gui/Form.h"
#include "gui/Handles.h"
#include "gui/TitlePanel.h"

namespace zelvane {

// The pictures of the title strips in the size drawn for a DPI, each size
// loaded once from the resources and kept for the rest of the run.
struct TitlePictures {
    Bitmap close;     // red round button with a cross
    Bitmap minimise;  // yellow round button with a minus
    Bitmap maximise;  // green round button with two squares
    static const TitlePictures& ForDpi(int dpi);
};

class BorderlessForm : public Form {
public:
    // Sizes in 96-DPI pixels.
    struct Look {
        std::string windowText;  // not drawn; the caption is Label1
        int width;
        int height;
        COLORREF color;
        std::string caption;
        COLORREF captionColor = RGB(0, 0, 0);
        bool stayOnTop = false;
        COLORREF panelColor = kPanelColor;
        int buttonPanelWidth = 22;  // Panel2; the main window's holds three pictures
        int closeImageX = 4;        // Image1 within Panel2
        int clientTop = 22;         // Panel1 starts below the strip (and the main window's tool bar)
    };

    Panel& Panel1() { return *panel1_; }
    // The title strip's pictures: a tab stop of the window, for its focus
    // cycle (TitlePanel::TakeFocus).
    TitlePanel& Panel2() { return *panel2_; }

    // Hides the window (the close picture of every borderless window).
    virtual void Image1Click() { Hide(); }

protected:
    void CreateBorderless(const Look& look);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintSurface(HDC dc, const RECT& client) override;
    // A title-strip picture at `x` (96-DPI pixels) on Panel2, in the drawing
    // of the window's DPI that `which` picks, called `name` by screen readers
    // and running `onClick` when pressed.
    void AddTitlePicture(int x, HBITMAP (*which)(const TitlePictures& pictures), std::function<std::string()> name,
                         std::function<void()> onClick);

    std::unique_ptr<Panel> panel1_;
    std::unique_ptr<TitlePanel> panel2_;
};

}  // namespace zelvane
