// Owns the settings, about, search and properties windows and creates them,
// one at a time, after the main window has painted (or all at once, when a
// command needs one before that).
#pragma once

#include <memory>

#include "app/OtherWindows.h"

namespace zelvane {

class MainWindow;
class TForm2;
class TForm3;
class TForm4;
class TForm5;

class ProgramWindows : public OtherWindows {
public:
    explicit ProgramWindows(MainWindow& main);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    bool CreateNext() override;
    Form* ShowSettings() override;
    Form* ShowAbout() override;
    Form* ShowSearch() override;
    Form* ShowProperties(int row) override;

    // Null until created.
    TForm2* Settings() const { return form2_.get(); }
    TForm3* About() const { return form3_.get(); }
    TForm4* Search() const { return form4_.get(); }
    TForm5* Properties() const { return form5_.get(); }

private:
    void CreateAll();

    MainWindow& main_;
    int created_ = 0;  // how many creation steps have run
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
};

}  // namespace zelvane
