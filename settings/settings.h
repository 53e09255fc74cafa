#pragma once
#include <cstdint>
#include <string>

// A registry root key as a number (HKEY_CURRENT_USER is 0x80000001).
using RegistryRoot = std::uintptr_t;
inline constexpr RegistryRoot kCurrentUserRoot = 0x80000001u;

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Corvane Studio\\qzTetherly";
inline constexpr wchar_t kSettingsVersion[] = L"1.2";

// The three registry operations the settings need.
class SettingsRegistry {
public:
    virtual ~SettingsRegistry() = default;
    // Leaves `target` unchanged on failure; shorter data replaces only its low bytes.
    virtual bool ReadDword(RegistryRoot root, const std::wstring& keyPath,
                           const std::wstring& valueName, std::uint32_t& target) = 0;
    virtual bool WriteDword(RegistryRoot root, const std::wstring& keyPath,
                            const std::wstring& valueName, std::uint32_t value) = 0;
    virtual bool WriteString(RegistryRoot root, const std::wstring& keyPath,
                             const std::wstring& valueName, const std::wstring& text) = 0;
};

struct Settings {
    std::uint32_t HotKey = 0;
    std::uint32_t Modifiers = 0;
    std::int32_t TuningLeft = 0;
    std::int32_t TuningTop = 0;
    std::int32_t TuningRight = 0;
    std::int32_t TuningBottom = 0;

    // True only when every read succeeded; missing values keep their field.
    bool Load(SettingsRegistry& registry);
    // Writes "Version" then the six fields; true only when every write succeeded.
    bool Save(SettingsRegistry& registry) const;
};
