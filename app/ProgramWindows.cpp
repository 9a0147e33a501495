#include "app/ProgramWindows.h"

#include "settings/Unit2.h"
#include "windows/MainWindow.h"
#include "windows/Search.h"
#include "windows/Unit3.h"
#include "windows/Unit5.h"

namespace zelvane {

ProgramWindows::ProgramWindows(MainWindow& main) : main_(main) {}

ProgramWindows::~ProgramWindows() = default;

bool ProgramWindows::CreateNext() {
    // The step counts as run before the window exists: one that fails is
    // reported once and not tried again.
    switch (created_++) {
    case 0: form2_ = std::make_unique<TForm2>(main_); break;
    case 1: form3_ = std::make_unique<TForm3>(); break;
    case 2: form4_ = std::make_unique<TForm4>(main_); break;
    case 3: form5_ = std::make_unique<TForm5>(main_); break;
    default: created_ = 4; return false;
    }
    return created_ < 4;
}

void ProgramWindows::CreateAll() {
    while (CreateNext()) {
    }
}

Form* ProgramWindows::ShowSettings() {
    CreateAll();
    if (form2_) form2_->Show();
    return form2_.get();
}

Form* ProgramWindows::ShowAbout() {
    CreateAll();
    if (form3_) form3_->Show();
    return form3_.get();
}

Form* ProgramWindows::ShowSearch() {
    CreateAll();
    if (form4_) {
        form4_->Show();
        ::RedrawWindow(form4_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    return form4_.get();
}

Form* ProgramWindows::ShowProperties(int row) {
    CreateAll();
    if (form5_) {
        form5_->FillProcessInfo(main_.Table(), row);
        form5_->Show();
    }
    return form5_.get();
}

}  // namespace zelvane
