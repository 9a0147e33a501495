// An in-memory registry behind the settings store's accessor, for host tests:
// keys by path (as the system names them under HKEY_LOCAL_MACHINE), keys that
// refuse to open, and a check that every operation closes its key; and a
// target that records the settings loaded into it.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Registry.h"
#include "settings/Settings.h"

namespace zelvane::test {

inline constexpr const char* kSettingsPath = "Software\\QuilbySoft\\Zelvane";
inline constexpr const char* kRunPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class MemoryRegistry : public RegistryAccessor {
public:
    using Values = std::map<std::string, RegistryValue>;

    bool OpenKey(std::string_view path, bool canCreate) override { return Open(path, canCreate, false); }
    bool OpenKeyReadOnly(std::string_view path) override { return Open(path, false, true); }
    void CloseKey() override {
        open_ = nullptr;
        openReadOnly_ = false;
    }
    std::optional<RegistryValue> QueryValue(const std::string& name) override {
        if (!open_) return std::nullopt;
        const auto it = open_->find(name);
        if (it == open_->end()) return std::nullopt;
        return it->second;
    }
    bool SetValue(const std::string& name, const RegistryValue& value) override {
        if (!open_ || openReadOnly_) return false;
        (*open_)[name] = value;
        return true;
    }
    bool DeleteValue(const std::string& name) override { return open_ && !openReadOnly_ && open_->erase(name) > 0; }

    bool IsOpen() const { return open_ != nullptr; }

    std::optional<RegistryValue> Get(const std::string& key, const std::string& name) const {
        const auto k = keys.find(key);
        if (k == keys.end()) return std::nullopt;
        const auto v = k->second.find(name);
        if (v == k->second.end()) return std::nullopt;
        return v->second;
    }

    std::map<std::string, Values> keys;
    std::set<std::string> denied;     // keys that can neither be opened nor created
    std::set<std::string> readOnly;   // keys that open for reading only
    std::vector<std::string> opened;  // every path asked for, normalized

private:
    // A key refused full access still opens for reading.
    bool Open(std::string_view path, bool canCreate, bool forReading) {
        CloseKey();
        const std::string p = NormalizeKeyPath(path);
        opened.push_back(p);
        if (denied.count(p) || (!forReading && readOnly.count(p))) return false;
        auto it = keys.find(p);
        if (it == keys.end()) {
            if (!canCreate) return false;
            it = keys.emplace(p, Values{}).first;
        }
        open_ = &it->second;
        openReadOnly_ = forReading;
        return true;
    }

    Values* open_ = nullptr;
    bool openReadOnly_ = false;
};

// Records every setting in the order it is applied, as "Update=1000", ...,
// "Font=<face>", "Autorun=0" or "Autorun=1".
class RecordingTarget : public SettingsTarget {
public:
    using Log = std::vector<std::string>;
    void SetUpdateInterval(uint32_t ms) override { Add("Update", ms); }
    void SetRepaintInterval(uint32_t ms) override { Add("Repaint", ms); }
    void SetCpuInterval(uint32_t ms) override { Add("CPUUpdate", ms); }
    void SetTableColor(uint32_t c) override { Add("CFon", c); }
    void SetHeaderColor(uint32_t c) override { Add("CHead", c); }
    void SetFontColor(uint32_t c) override { Add("CFont", c); }
    void SetFontName(const std::string& face) override { log.push_back("Font=" + face); }
    void SetAutorunRegistered(bool r) override { log.push_back(r ? "Autorun=1" : "Autorun=0"); }

    Log log;

private:
    void Add(const char* name, uint32_t v) { log.push_back(std::string(name) + "=" + std::to_string(v)); }
};

}  // namespace zelvane::test
