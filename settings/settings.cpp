#include "settings/settings.h"

#include <bit>

namespace {

const std::wstring kKeyPath = kSettingsKeyPath;

// A missing or unreadable value leaves the field as it was.
bool ReadField(SettingsRegistry& registry, const wchar_t* name, std::uint32_t& field) {
    return registry.ReadDword(kCurrentUserRoot, kKeyPath, name, field);
}

// Signed fields travel as their two's complement bit pattern.
bool ReadField(SettingsRegistry& registry, const wchar_t* name, std::int32_t& field) {
    std::uint32_t bits = std::bit_cast<std::uint32_t>(field);
    const bool ok = ReadField(registry, name, bits);
    field = std::bit_cast<std::int32_t>(bits);
    return ok;
}

bool WriteField(SettingsRegistry& registry, const wchar_t* name, std::uint32_t value) {
    return registry.WriteDword(kCurrentUserRoot, kKeyPath, name, value);
}

bool WriteField(SettingsRegistry& registry, const wchar_t* name, std::int32_t value) {
    return WriteField(registry, name, std::bit_cast<std::uint32_t>(value));
}

} // namespace

bool Settings::Load(SettingsRegistry& registry) {
    // Every value is tried, whatever failed before.
    bool ok = ReadField(registry, L"HotKey", HotKey);
    ok = ReadField(registry, L"Modifiers", Modifiers) && ok;
    ok = ReadField(registry, L"TuningLeft", TuningLeft) && ok;
    ok = ReadField(registry, L"TuningTop", TuningTop) && ok;
    ok = ReadField(registry, L"TuningRight", TuningRight) && ok;
    ok = ReadField(registry, L"TuningBottom", TuningBottom) && ok;
    return ok;
}

bool Settings::Save(SettingsRegistry& registry) const {
    bool ok = registry.WriteString(kCurrentUserRoot, kKeyPath, L"Version", kSettingsVersion);
    ok = WriteField(registry, L"HotKey", HotKey) && ok;
    ok = WriteField(registry, L"Modifiers", Modifiers) && ok;
    ok = WriteField(registry, L"TuningLeft", TuningLeft) && ok;
    ok = WriteField(registry, L"TuningTop", TuningTop) && ok;
    ok = WriteField(registry, L"TuningRight", TuningRight) && ok;
    ok = WriteField(registry, L"TuningBottom", TuningBottom) && ok;
    return ok;
}
