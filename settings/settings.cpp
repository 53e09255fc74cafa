#include "settings/settings.h"

#include <cstddef>
#include <cstring>

namespace {

struct FieldName {
    const wchar_t* name;
    std::size_t offset;
};

constexpr FieldName kFields[] = {
    {L"HotKey", offsetof(Settings, HotKey)},
    {L"Modifiers", offsetof(Settings, Modifiers)},
    {L"TuningLeft", offsetof(Settings, TuningLeft)},
    {L"TuningTop", offsetof(Settings, TuningTop)},
    {L"TuningRight", offsetof(Settings, TuningRight)},
    {L"TuningBottom", offsetof(Settings, TuningBottom)},
};

// The fields' 32-bit patterns, whatever their signedness (negative tunings are
// stored as two's complement).
std::uint32_t FieldBits(const Settings& s, std::size_t offset) {
    std::uint32_t bits;
    std::memcpy(&bits, reinterpret_cast<const unsigned char*>(&s) + offset, sizeof bits);
    return bits;
}

void SetFieldBits(Settings& s, std::size_t offset, std::uint32_t bits) {
    std::memcpy(reinterpret_cast<unsigned char*>(&s) + offset, &bits, sizeof bits);
}

} // namespace

bool Settings::Load(SettingsRegistry& registry) {
    bool result = true;
    for (const FieldName& field : kFields) {
        std::uint32_t bits = FieldBits(*this, field.offset);
        if (registry.ReadDword(kCurrentUserRoot, kSettingsKeyPath, field.name, bits))
            SetFieldBits(*this, field.offset, bits);
        else
            result = false;
    }
    return result;
}

bool Settings::Save(SettingsRegistry& registry) const {
    bool result = true;
    if (!registry.WriteString(kCurrentUserRoot, kSettingsKeyPath, L"Version", kSettingsVersion))
        result = false;
    for (const FieldName& field : kFields) {
        if (!registry.WriteDword(kCurrentUserRoot, kSettingsKeyPath, field.name,
                                 FieldBits(*this, field.offset)))
            result = false;
    }
    return result;
}
