#include "settings/registry_access_win.h"

#include <cstring>
#include <utility>

#include "framework/unique_handle.h"

namespace RegistryAccess {
namespace {

constexpr DWORD kFirstTextBytes = 520; // 260 UTF-16 units
constexpr DWORD kNameCapacity = 260;   // 259 characters and the NUL

bool OpenKey(HKEY root, const std::wstring& keyPath, REGSAM access, UniqueHkey& key) {
    if (RegOpenKeyExW(root, keyPath.c_str(), 0, access, key.put()) == ERROR_SUCCESS)
        return true;
    key.release(); // whatever the platform left there is not a handle
    return false;
}

bool CreateKey(HKEY root, const std::wstring& keyPath, REGSAM access, UniqueHkey& key) {
    if (RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        key.put(), nullptr) == ERROR_SUCCESS)
        return true;
    key.release();
    return false;
}

LSTATUS Query(HKEY key, const std::wstring& valueName, BYTE* data, DWORD& size) {
    return RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, data, &size);
}

bool SetValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, DWORD type,
              const BYTE* data, DWORD byteCount) {
    UniqueHkey key;
    if (!CreateKey(root, keyPath, KEY_SET_VALUE, key))
        return false;
    return RegSetValueExW(key.get(), valueName.c_str(), 0, type, data, byteCount) == ERROR_SUCCESS;
}

std::wstring WithoutTrailingBackslashes(const std::wstring& path) {
    std::wstring trimmed = path;
    while (!trimmed.empty() && trimmed.back() == L'\\')
        trimmed.pop_back();
    return trimmed;
}

// The enumeration loop shared by ListSubKeys and ListValues.
template <typename EnumName>
bool ListNames(HKEY root, const std::wstring& keyPath, REGSAM access,
               std::vector<std::wstring>& names, EnumName enumName) {
    UniqueHkey key;
    if (!OpenKey(root, keyPath, access, key))
        return false;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kNameCapacity];
        DWORD length = kNameCapacity;
        const LSTATUS status = enumName(key.get(), index, name, &length);
        if (status == ERROR_NO_MORE_ITEMS)
            return true;
        if (status != ERROR_SUCCESS || length >= kNameCapacity)
            return false;
        names.emplace_back(name, length);
    }
}

} // namespace

bool ReadDword(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
               DWORD& target) {
    UniqueHkey key;
    if (!OpenKey(root, keyPath, KEY_QUERY_VALUE, key))
        return false;
    // A local copy, so that data longer than four bytes cannot leave the
    // target half-written; shorter data still replaces only the low bytes.
    DWORD value = target;
    DWORD size = sizeof value;
    if (Query(key.get(), valueName, reinterpret_cast<BYTE*>(&value), size) != ERROR_SUCCESS)
        return false;
    target = value;
    return true;
}

bool ReadString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                std::wstring& text) {
    UniqueHkey key;
    if (!OpenKey(root, keyPath, KEY_QUERY_VALUE, key))
        return false;
    std::vector<BYTE> buffer(kFirstTextBytes);
    DWORD size = kFirstTextBytes;
    LSTATUS status = Query(key.get(), valueName, buffer.data(), size);
    if (status == ERROR_MORE_DATA) {
        buffer = std::vector<BYTE>(size);
        status = Query(key.get(), valueName, buffer.data(), size);
    }
    key.reset();
    if (status != ERROR_SUCCESS)
        return false;

    // Only the bytes the platform returned, whole units only, up to the first NUL.
    const std::size_t units = (size < buffer.size() ? size : buffer.size()) / sizeof(wchar_t);
    std::wstring result;
    for (std::size_t i = 0; i < units; ++i) {
        wchar_t unit;
        std::memcpy(&unit, buffer.data() + i * sizeof(wchar_t), sizeof unit);
        if (unit == L'\0')
            break;
        result.push_back(unit);
    }
    text = std::move(result);
    return true;
}

bool ReadBinary(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                std::vector<BYTE>& data) {
    data.clear();
    UniqueHkey key;
    if (!OpenKey(root, keyPath, KEY_QUERY_VALUE, key))
        return false;
    BYTE probe = 0;
    DWORD size = sizeof probe;
    LSTATUS status = Query(key.get(), valueName, &probe, size);
    if (status == ERROR_SUCCESS) {
        data.assign(&probe, &probe + size);
    } else if (status == ERROR_MORE_DATA) {
        data.resize(size);
        status = Query(key.get(), valueName, data.data(), size);
        if (status == ERROR_SUCCESS)
            data.resize(size < data.size() ? size : data.size());
        else
            data.clear();
    }
    return status == ERROR_SUCCESS;
}

bool WriteDword(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                DWORD value) {
    return SetValue(root, keyPath, valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                    sizeof value);
}

bool WriteString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                 const std::wstring& text) {
    // (length + 1) * 2 must fit a DWORD.
    if (text.size() >= MAXDWORD / sizeof(wchar_t))
        return false;
    const auto byteCount = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return SetValue(root, keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                    byteCount);
}

bool WriteBinary(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                 const void* data, DWORD byteCount) {
    return SetValue(root, keyPath, valueName, REG_BINARY, static_cast<const BYTE*>(data),
                    byteCount);
}

bool RemoveValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName) {
    UniqueHkey key;
    if (!OpenKey(root, keyPath, KEY_SET_VALUE, key))
        return false;
    return RegDeleteValueW(key.get(), valueName.c_str()) == ERROR_SUCCESS;
}

bool EnsureKey(HKEY root, const std::wstring& keyPath, const std::wstring& subKey) {
    UniqueHkey key;
    return CreateKey(root, keyPath + subKey, KEY_QUERY_VALUE, key);
}

bool RemoveSubKey(HKEY root, const std::wstring& keyPath, const std::wstring& subKeyName) {
    UniqueHkey key;
    if (!OpenKey(root, keyPath, DELETE, key))
        return false;
    return RegDeleteKeyW(key.get(), subKeyName.c_str()) == ERROR_SUCCESS;
}

bool RemoveKeyPath(HKEY root, const std::wstring& keyPath) {
    const std::wstring path = WithoutTrailingBackslashes(keyPath);
    // An empty name would make the platform delete the parent key itself.
    if (path.empty())
        return false;
    const std::size_t split = path.rfind(L'\\');
    if (split == std::wstring::npos)
        return RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS;

    UniqueHkey parent;
    if (!OpenKey(root, path.substr(0, split), DELETE, parent))
        return false;
    return RegDeleteKeyW(parent.get(), path.substr(split + 1).c_str()) == ERROR_SUCCESS;
}

bool RemoveKeyTree(HKEY root, const std::wstring& keyPath) {
    const std::wstring path = WithoutTrailingBackslashes(keyPath);
    if (path.empty())
        return false;
    // Collect a level's names before deleting any, so the indices stay put.
    std::vector<std::wstring> children;
    if (!ListSubKeys(root, path, children))
        return false;
    bool result = true;
    for (const std::wstring& child : children) {
        if (!RemoveKeyTree(root, path + L"\\" + child))
            result = false;
    }
    if (RegDeleteKeyW(root, path.c_str()) != ERROR_SUCCESS)
        result = false;
    return result;
}

bool ListSubKeys(HKEY root, const std::wstring& keyPath, std::vector<std::wstring>& names) {
    return ListNames(root, keyPath, KEY_ENUMERATE_SUB_KEYS, names,
                     [](HKEY key, DWORD index, wchar_t* name, DWORD* length) {
                         return RegEnumKeyExW(key, index, name, length, nullptr, nullptr, nullptr,
                                              nullptr);
                     });
}

bool ListValues(HKEY root, const std::wstring& keyPath, std::vector<std::wstring>& names) {
    return ListNames(root, keyPath, KEY_QUERY_VALUE, names,
                     [](HKEY key, DWORD index, wchar_t* name, DWORD* length) {
                         return RegEnumValueW(key, index, name, length, nullptr, nullptr, nullptr,
                                              nullptr);
                     });
}

} // namespace RegistryAccess
