#pragma once
#include <windows.h>

#include <cstdint>
#include <utility>

// Move-only owner of one Win32 handle: a copy would close it twice. Closer releases the kind.
template <class Handle, class Closer> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle release() { return std::exchange(m_handle, nullptr); }
    void reset(Handle handle = nullptr) {
        if (Handle old = std::exchange(m_handle, handle); old && old != handle)
            Closer{}(old);
    }
    // For out-parameters: closes the current handle first.
    Handle* put() {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = nullptr;
};

struct MenuCloser {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct ModuleCloser {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
struct IconCloser {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
// HKEY_CURRENT_USER and its kin are never closed: opening an empty path under one hands back
// the root itself. Only the low 32 bits count, as 64-bit code sees the roots sign-extended.
struct KeyCloser {
    void operator()(HKEY key) const {
        const auto low = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key));
        if ((low & 0xF0000000u) != 0x80000000u)
            ::RegCloseKey(key);
    }
};

using UniqueMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;
using UniqueModule = UniqueHandle<HMODULE, ModuleCloser>;
using UniqueHkey = UniqueHandle<HKEY, KeyCloser>;
