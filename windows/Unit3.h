// The about window TForm3: the program's name and version, what it does, the
// author and the author's contacts, and a small picture. Static: nothing
// fills or refreshes it. Centred on the desktop at its first show, it stays
// where the user moves it afterwards.
#pragma once

#include "gui/BorderlessForm.h"
#include "gui/Handles.h"

namespace zelvane {

// The about text of Label2: sixteen lines, blanks as layout.
extern const char kAboutText[];

class TForm3 : public BorderlessForm {
public:
    TForm3();

    // The decoded picture, or null when it could not be loaded.
    HBITMAP Picture() const { return Image2.Get(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Bitmap Image2;
    bool shownBefore_ = false;
};

}  // namespace zelvane
