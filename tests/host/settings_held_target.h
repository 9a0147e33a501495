// A settings target that holds what it is given, the way the main window
// does, so that a test can compare what was saved with what comes back.
#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

namespace zelvane::test {

struct HeldSettings : SettingsTarget {
    uint32_t update = 0, repaint = 0, cpu = 0, table = 0, header = 0, font = 0;
    std::string face;
    bool autorun = false;
    void SetUpdateInterval(uint32_t v) override { update = v; }
    void SetRepaintInterval(uint32_t v) override { repaint = v; }
    void SetCpuInterval(uint32_t v) override { cpu = v; }
    void SetTableColor(uint32_t v) override { table = v; }
    void SetHeaderColor(uint32_t v) override { header = v; }
    void SetFontColor(uint32_t v) override { font = v; }
    void SetFontName(const std::string& v) override { face = v; }
    void SetAutorunRegistered(bool v) override { autorun = v; }
};

}  // namespace zelvane::test
