// The settings dialog TForm2: the look of the process table (three colours and
// a font face, chosen on a preview table), the three timer intervals and the
// start-with-Windows choice. "Применить" copies the choices to the running
// main window; "Сохранить установки по умолчанию" stores them first.
#pragma once

#include <memory>
#include <string>

#include "gui/ColorDialog.h"
#include "gui/Controls.h"
#include "gui/Form.h"
#include "gui/PopupMenu.h"
#include "gui/StringGrid.h"
#include "gui/Timer.h"
#include "settings/DialogLogic.h"

namespace zelvane {

class MainWindow;

class TForm2 : public Form {
public:
    explicit TForm2(MainWindow& main);
    ~TForm2() override;

    // Fills the controls from the main window's settings in force; runs each
    // time the dialog is shown.
    void FormShow();

    void Panel1MouseMove();
    void FonClick();
    void txtClick();
    void HedClick();
    void DefClick() { SetPreviewColors(kStandardColors); }
    void FontComboBox1Change();
    // Apply: the intervals, then the look, then hide. Raises on a field that
    // is not a whole number; what was assigned before it stays.
    void Panel2Click();
    // Save as defaults: store, confirm, Apply. Raises on a failed store.
    void Panel4Click();
    void Timer1Timer();

    // The controls, for the main window's tests and the dialog's own.
    HWND Edit1Handle() const { return Edit1.Handle(); }
    HWND Edit2Handle() const { return Edit2.Handle(); }
    HWND Edit3Handle() const { return Edit3.Handle(); }
    HWND FontList() const { return FontComboBox1.Handle(); }
    HWND AutorunBox() const { return CheckBox1.Handle(); }
    StringGrid& Preview() { return *testtabl; }
    PopupMenu& PresetMenu() { return *PopupMenu1; }
    ColorDialog& Colore() { return Colore_; }
    Panel& Background() { return *Panel1; }
    Panel& ApplyButton() { return *Panel2; }
    Panel& SaveButton() { return *Panel4; }
    Timer& ConfirmTimer() { return *Timer1; }
    bool ConfirmationVisible() const;

protected:
    void OnVisibilityChanged(bool visible) override;

private:
    void CreateLabels();
    void CreateControls();
    void CreateButton(std::unique_ptr<Panel>& panel, int x, int y, int w, int h, const std::string& caption,
                      void (TForm2::*action)());
    void FillFontList();
    void HoverLabel(const char* name);
    void PickColor(void (StringGrid::*set)(COLORREF));
    void SetPreviewColors(const PreviewColors& colors);

    MainWindow& main_;
    std::unique_ptr<Panel> Panel1;
    Edit Edit1;
    Edit Edit2;
    std::unique_ptr<StringGrid> testtabl;
    ComboBox FontComboBox1;
    Edit Edit3;
    CheckBox CheckBox1;
    std::unique_ptr<Panel> Panel2;
    std::unique_ptr<Panel> Panel4;
    std::unique_ptr<PopupMenu> PopupMenu1;
    std::unique_ptr<Timer> Timer1;
    ColorDialog Colore_;
};

}  // namespace zelvane
