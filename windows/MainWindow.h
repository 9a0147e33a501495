// What the other windows may do with the main window: read its process table,
// act on a row of it, rebuild it, read and apply the settings in force, and
// know where the window is. The settings dialog's Apply reaches the main
// window through the same setters as the stored settings at start.
#pragma once

#include <windows.h>

#include "base/GridModel.h"
#include "base/SettingsRecord.h"

namespace zelvane {

class MainWindow : public SettingsTarget {
public:
    // The process table as shown (header row 0, one process per data row).
    virtual const GridModel& Table() const = 0;
    // Makes data row `row` the selected one; raises the table's index error
    // for a row it does not have.
    virtual void SelectRow(int row) = 0;
    // Kills the process of the selected row, as the table's own command does.
    virtual void KillSelected() = 0;
    // Rebuilds the table from a fresh snapshot.
    virtual void ListProcesses() = 0;
    // What the table's look, the timers and the autorun flag are now.
    virtual SettingsInForce CurrentSettings() const = 0;
    // The main window's bounds on the screen.
    virtual RECT Placement() const = 0;

    // Where the search and properties windows stand: just below the main
    // window's top-right corner, this many pixels down at 96 DPI.
    static constexpr int kBelowTop = 20;

protected:
    ~MainWindow() = default;
};

}  // namespace zelvane
