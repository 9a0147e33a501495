// The search window TForm4: narrows the process table down by part of a name
// and kills the chosen process through the main window's own commands. It
// glues itself to the main window's top-right corner and reloads its names at
// every paint.
#pragma once

#include <string>
#include <vector>

#include "gui/BorderlessForm.h"
#include "base/GridModel.h"
#include "gui/Controls.h"

namespace zelvane {

class MainWindow;

class TForm4 : public BorderlessForm {
public:
    explicit TForm4(MainWindow& main);

    // Puts the window at the main window's corner, reloads the names from the
    // process table, clears the filter and lists every name. Runs at every
    // paint of the window.
    void FormPaint();
    // Fills the list with the items of the names that the filter lets through;
    // nothing is selected.
    void FilterProcList();
    // Kills the process of the selected item through the main window: select
    // its table row, kill the selected process, rebuild the table, repaint.
    void KillChosenProcess();

    void Edit1Change();
    void Edit1KeyDown(WORD key, ShiftState shift);
    void ProcListKeyDown(WORD key, ShiftState shift);
    void ProcListDblClick() { KillChosenProcess(); }

    HWND FilterBox() const { return Edit1.Handle(); }
    HWND ListBox() const { return ProcList.Handle(); }
    const std::vector<std::string>& Names() const { return ProcNames; }
    const std::vector<RowKey>& Keys() const { return ProcKeys; }

protected:
    void OnPaint() override;
    void OnKeyDown(WORD key, ShiftState shift) override;

private:
    void CreateControls();
    void DrawProcItem(const DRAWITEMSTRUCT& item);
    void Repaint();

    MainWindow& main_;
    Edit Edit1;
    zelvane::ListBox ProcList;
    std::vector<std::string> ProcNames;
    std::vector<RowKey> ProcKeys;  // the table row key of each entry of ProcNames
    POINT lastTarget_{};        // where FormPaint last moved the window to
    POINT landed_{};            // and where the window went
    bool painting_ = false;     // inside FormPaint: no second run, no change handling
};

}  // namespace zelvane
