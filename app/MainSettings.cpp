// The main window's settings: what the stored settings at start and the
// settings dialog's Apply set, and what the dialog shows.
#include "app/main.h"

#include "settings/Settings.h"
#include "settings/WinRegistry.h"

namespace zelvane {

void TForm1::LoadStoredSettings() {
    WinRegistry registry;
    LoadSettings(registry, *this);
}

void TForm1::SetUpdateInterval(uint32_t ms) { Update->SetInterval(ms); }
void TForm1::SetRepaintInterval(uint32_t ms) { Timer1->SetInterval(ms); }
void TForm1::SetCpuInterval(uint32_t ms) { CPUUasgeTimer->SetInterval(ms); }
void TForm1::SetTableColor(uint32_t color) { StringGrid1->SetColor(color); }
void TForm1::SetHeaderColor(uint32_t color) { StringGrid1->SetFixedColor(color); }
void TForm1::SetFontColor(uint32_t color) { StringGrid1->SetFontColor(color); }
void TForm1::SetFontName(const std::string& face) { StringGrid1->SetFontName(face); }

SettingsInForce TForm1::CurrentSettings() const {
    return {Update->Interval(),      Timer1->Interval(),         CPUUasgeTimer->Interval(),
            StringGrid1->Color(),    StringGrid1->FixedColor(),  StringGrid1->FontColor(),
            StringGrid1->FontName(), AutorunRegistered};
}

}  // namespace zelvane
