// The four windows besides the main one, as the main window's commands open
// them. The main window knows them only through this: which window is which,
// and when each is created, is decided beside the program entry
// (app/ProgramWindows).
#pragma once

namespace zelvane {

class Form;

class OtherWindows {
public:
    // Creates the next window not created yet, in their order; false when
    // none is left. A window whose creation failed is not tried again.
    virtual bool CreateNext() = 0;
    // Each command first creates every window not created yet, then shows its
    // window (null when that window could not be created).
    virtual Form* ShowSettings() = 0;
    virtual Form* ShowAbout() = 0;
    // The search window, repainted at once (it reloads the names at a paint).
    virtual Form* ShowSearch() = 0;
    // The properties window, filled for table row `row` first.
    virtual Form* ShowProperties(int row) = 0;

protected:
    ~OtherWindows() = default;
};

}  // namespace zelvane
