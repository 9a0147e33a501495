// What the program's forms (gui/Form) and the loops that are not ours
// (gui/ForeignLoop) need of the one window that owns every form: the
// application window (gui/Application), which implements it. Through this
// face a form never sees the application, and the application's header
// never sees a form's.
#pragma once

#include <windows.h>

namespace zelvane {

class Form;

class FormOwner {
public:
    // The owner of the program's forms: the application, made on first use.
    static FormOwner& Get();

    // The window that owns every form (so that none has a taskbar entry of
    // its own); null until the application window is created.
    virtual HWND OwnerWindow() const = 0;
    // A form's window was created; the form is going away.
    virtual void AddForm(Form* form) = 0;
    virtual void RemoveForm(Form* form) = 0;
    // A form was shown or hidden: the taskbar entry is shown while any form
    // is visible, hidden when none is.
    virtual void FormShownOrHidden() = 0;
    // A form's window is being destroyed: the program ends with its main form.
    virtual void FormDestroyed(Form* form) = 0;
    // Every form forgets the keys pressed so far (a loop not ours opens).
    virtual void ForgetPressedKeys() = 0;

protected:
    ~FormOwner() = default;
};

}  // namespace zelvane
