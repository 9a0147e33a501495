#include "settings/Settings.h"

#include "base/IntParse.h"

namespace zelvane {

uint32_t SecondsToMs(const std::string& field) {
    return static_cast<uint32_t>(StrToInt(field)) * 1000u;
}

void LoadSettings(RegistryAccessor& reg, SettingsTarget& target) {
    KeyScope scope(reg);
    if (reg.OpenKey(kSettingsKey, false)) {
        target.SetUpdateInterval(ReadInteger(reg, "Update"));
        target.SetRepaintInterval(ReadInteger(reg, "Repaint"));
        target.SetCpuInterval(ReadInteger(reg, "CPUUpdate"));
        target.SetTableColor(ReadInteger(reg, "CFon"));
        target.SetHeaderColor(ReadInteger(reg, "CHead"));
        target.SetFontColor(ReadInteger(reg, "CFont"));
        const std::string face = ReadString(reg, "Font");
        if (!face.empty()) target.SetFontName(face);
    } else {
        target.SetUpdateInterval(kDefaultUpdateInterval);
        target.SetRepaintInterval(kDefaultRepaintInterval);
        target.SetTableColor(kDefaultTableColor);
        target.SetHeaderColor(kDefaultHeaderColor);
        target.SetFontColor(kDefaultFontColor);
        target.SetFontName(kDefaultFontName);
    }
    reg.CloseKey();
    target.SetAutorunRegistered(AutorunValueExists(reg));
}

bool AutorunValueExists(RegistryAccessor& reg) {
    KeyScope scope(reg);
    // Read only: a user who may not change the Run key still sees its value.
    return reg.OpenKeyReadOnly(kRunKey) && ValueExists(reg, kAutorunValueName);
}

bool SaveSettings(RegistryAccessor& reg, const SaveInput& in) {
    KeyScope scope(reg);
    // A key that did not open shows up as a failure of the first write.
    reg.OpenKey(kSettingsKey, true);
    WriteInteger(reg, "CPUUpdate", SecondsToMs(in.cpuSeconds));
    WriteInteger(reg, "Update", SecondsToMs(in.listSeconds));
    WriteInteger(reg, "Repaint", static_cast<uint32_t>(StrToInt(in.delayMs)));
    WriteInteger(reg, "CFon", in.tableColor);
    WriteInteger(reg, "CHead", in.headerColor);
    WriteInteger(reg, "CFont", in.fontColor);
    WriteString(reg, "Font", in.fontName);
    reg.CloseKey();

    reg.OpenKey(kRunKey, true);
    if (in.autorun) {
        WriteString(reg, kAutorunValueName, AutorunCommand(in.executablePath));
        return true;
    }
    if (reg.DeleteValue(kAutorunValueName)) return false;
    // Nothing deleted: the value was absent already, or the user may not
    // remove it (no rights on the Run key) and it is still there.
    return AutorunValueExists(reg);
}

std::string AutorunCommand(const std::string& executablePath) {
    return "\"" + executablePath + "\" -h";
}

}  // namespace zelvane
