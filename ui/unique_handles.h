#pragma once
#include <windows.h>

#include <utility>

// Move-only owner of one Win32 handle; Close is the kind's release function.
template <class Handle, BOOL(WINAPI* Close)(Handle)> class UniqueHandle {
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
        if (m_handle)
            Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
