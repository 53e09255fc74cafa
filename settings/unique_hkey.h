#pragma once
#include <windows.h>

#include <cstdint>

// Owns one registry key handle and closes it when it goes. Move-only: a copy
// would close the handle twice.
class UniqueHkey {
public:
    UniqueHkey() noexcept = default;
    explicit UniqueHkey(HKEY key) noexcept : m_hKey(key) {}
    ~UniqueHkey() { reset(); }

    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;

    UniqueHkey(UniqueHkey&& other) noexcept : m_hKey(other.release()) {}
    UniqueHkey& operator=(UniqueHkey&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    HKEY get() const noexcept { return m_hKey; }
    explicit operator bool() const noexcept { return m_hKey != nullptr; }

    // Gives the handle up without closing it.
    HKEY release() noexcept {
        HKEY key = m_hKey;
        m_hKey = nullptr;
        return key;
    }

    void reset(HKEY key = nullptr) noexcept {
        HKEY old = m_hKey;
        m_hKey = key;
        if (old != nullptr && old != key && !IsPredefined(old))
            RegCloseKey(old);
    }

    // For out-parameters: closes the current handle first.
    HKEY* put() noexcept {
        reset();
        return &m_hKey;
    }

    // HKEY_CURRENT_USER and its kin. Opening an empty path under one of them
    // hands back the root itself, which is not ours to close. Only the low 32
    // bits count: 64-bit code sees the roots both sign- and zero-extended.
    static bool IsPredefined(HKEY key) noexcept {
        const auto low = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
        return (low & 0xF0000000u) == 0x80000000u;
    }

private:
    HKEY m_hKey = nullptr;
};
