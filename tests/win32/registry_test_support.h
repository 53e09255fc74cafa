#pragma once
// Raw Win32 helpers for the registry tests: everything the tests plant, check
// and clean up goes around the library, so a library fault cannot hide itself.
#include <windows.h>
#include <winternl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace regtest {

using Bytes = std::vector<BYTE>;

inline const std::wstring kTestRoot = L"Software\\TetherlyTest";

inline std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// UTF-16LE bytes of `text`, with or without the terminating NUL.
inline Bytes Utf16(const std::wstring& text, bool withNul = true) {
    Bytes bytes;
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>((unit >> 8) & 0xFF));
    }
    if (withNul) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

inline bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline bool CreateKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void DeleteTree(HKEY root, const std::wstring& path) {
    RegDeleteTreeW(root, path.c_str());
}

inline bool Plant(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
                  const Bytes& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

struct RawValue {
    bool found = false;
    DWORD type = REG_NONE;
    Bytes data;
};

inline RawValue QueryRaw(HKEY root, const std::wstring& path, const std::wstring& name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.data.resize(size);
        value.found = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.data.data(),
                                       &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

// Sets the parts `what` names of a key's security descriptor from SDDL text.
inline bool SetKeySecurity(HKEY root, const std::wstring& path, const wchar_t* sddl,
                           SECURITY_INFORMATION what) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    REGSAM access = 0;
    if (what & DACL_SECURITY_INFORMATION)
        access |= WRITE_DAC;
    if (what & OWNER_SECURITY_INFORMATION)
        access |= WRITE_OWNER;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, what, sd);
        RegCloseKey(key);
    }
    LocalFree(sd);
    return status == ERROR_SUCCESS;
}

// A key whose DACL is `sddl` for as long as the object lives; afterwards
// everyone may do anything with it again, so the fixture can delete it.
// Wine grants an owner every standard right (DELETE included) whatever the
// DACL says, so the key is also handed to SYSTEM where the platform allows
// it; Windows refuses that, and there the DACL binds the owner anyway.
class RestrictedKey {
public:
    RestrictedKey(const std::wstring& path, const wchar_t* sddl) : m_path(path) {
        m_bApplied = CreateKey(HKEY_CURRENT_USER, path) &&
                     SetKeySecurity(HKEY_CURRENT_USER, path, sddl, DACL_SECURITY_INFORMATION);
        SetKeySecurity(HKEY_CURRENT_USER, path, L"O:SY", OWNER_SECURITY_INFORMATION);
    }
    ~RestrictedKey() {
        SetKeySecurity(HKEY_CURRENT_USER, m_path, L"D:(A;;KA;;;WD)", DACL_SECURITY_INFORMATION);
    }
    RestrictedKey(const RestrictedKey&) = delete;
    RestrictedKey& operator=(const RestrictedKey&) = delete;
    bool applied() const { return m_bApplied; }

private:
    std::wstring m_path;
    bool m_bApplied = false;
};

// Number of handles this process holds, registry keys included. The system's
// own per-process counter stays 0 under Wine, so walk the system handle table.
inline long OwnHandleCount() {
    constexpr auto kExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
    struct Entry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT creatorBackTraceIndex;
        USHORT typeIndex;
        ULONG attributes;
        ULONG reserved;
    };
    constexpr std::size_t kHeader = 2 * sizeof(ULONG_PTR);
    Bytes buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            kExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L)) { // STATUS_INFO_LENGTH_MISMATCH
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0)
            return -1;
        break;
    }
    ULONG_PTR entries = 0;
    std::memcpy(&entries, buffer.data(), sizeof entries);
    const ULONG_PTR self = GetCurrentProcessId();
    long own = 0;
    for (ULONG_PTR i = 0; i < entries; ++i) {
        Entry entry;
        std::memcpy(&entry, buffer.data() + kHeader + i * sizeof(Entry), sizeof entry);
        if (entry.processId == self)
            ++own;
    }
    return own;
}

// Each test gets HKCU\Software\TetherlyTest\<suite>.<test>, empty at the start
// and gone afterwards.
class ScratchKey : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = kTestRoot + L"\\" + Widen(info->test_suite_name()) + L"." + Widen(info->name());
        DeleteTree(HKEY_CURRENT_USER, m_path);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &m_hKey, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
        DeleteTree(HKEY_CURRENT_USER, m_path);
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot.c_str()); // only when nothing else is left
    }

    // The scratch key's path, or that of a key below it.
    std::wstring Path(const std::wstring& below = L"") const {
        return below.empty() ? m_path : m_path + L"\\" + below;
    }

    std::wstring m_path;
    HKEY m_hKey = nullptr; // the scratch key, open with full access
};

} // namespace regtest
