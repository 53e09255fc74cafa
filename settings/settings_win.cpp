#include "settings/settings_win.h"

#include "settings/registry_access_win.h"

namespace {

HKEY ToHkey(RegistryRoot root) {
    return reinterpret_cast<HKEY>(root);
}

class RealSettingsRegistry final : public SettingsRegistry {
public:
    bool ReadDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                   std::uint32_t& target) override {
        // Preset, so that shorter data keeps the target's upper bytes.
        DWORD value = target;
        if (!RegistryAccess::ReadDword(ToHkey(root), keyPath, valueName, value))
            return false;
        target = value;
        return true;
    }

    bool WriteDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                    std::uint32_t value) override {
        return RegistryAccess::WriteDword(ToHkey(root), keyPath, valueName, value);
    }

    bool WriteString(RegistryRoot root, const std::wstring& keyPath, const std::wstring& valueName,
                     const std::wstring& text) override {
        return RegistryAccess::WriteString(ToHkey(root), keyPath, valueName, text);
    }
};

// At namespace scope: a function-local static would need a thread-safe guard, and the
// guard links a thread library into the program.
constinit RealSettingsRegistry g_registry;

} // namespace

SettingsRegistry& DefaultSettingsRegistry() {
    return g_registry;
}
