#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Free functions over the registry. Each opens what it needs under `root`, does
// one thing, closes every key it opened and returns true on success. `root` is
// never closed; an empty key path names the root itself.
namespace RegistryAccess {

// Up to four bytes of data of any type go into the low bytes of `target`;
// a missing value or longer data leaves `target` as it was.
bool ReadDword(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
               DWORD& target);
// Data of any type taken as UTF-16 up to the first NUL; `text` is kept on failure.
bool ReadString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                std::wstring& text);
// Exactly the value's bytes; `data` is empty after any failure.
bool ReadBinary(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                std::vector<BYTE>& data);

// Writes create the key and any missing parents.
bool WriteDword(HKEY root, const std::wstring& keyPath, const std::wstring& valueName, DWORD value);
bool WriteString(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                 const std::wstring& text);
bool WriteBinary(HKEY root, const std::wstring& keyPath, const std::wstring& valueName,
                 const void* data, DWORD byteCount);
bool RemoveValue(HKEY root, const std::wstring& keyPath, const std::wstring& valueName);

// Creates or opens keyPath + subKey, joined as they are: pass "A\" and "B" for A\B.
bool EnsureKey(HKEY root, const std::wstring& keyPath, const std::wstring& subKey);
// Deletes a sub-key that has no sub-keys of its own.
bool RemoveSubKey(HKEY root, const std::wstring& keyPath, const std::wstring& subKeyName);
// Deletes the last key of the path (trailing backslashes ignored); it must have no sub-keys.
bool RemoveKeyPath(HKEY root, const std::wstring& keyPath);
// Deletes the key and everything below it, going on past failures; true only
// when all of it went.
bool RemoveKeyTree(HKEY root, const std::wstring& keyPath);

// Append names in enumeration order; names of 260 characters or more fail.
bool ListSubKeys(HKEY root, const std::wstring& keyPath, std::vector<std::wstring>& names);
bool ListValues(HKEY root, const std::wstring& keyPath, std::vector<std::wstring>& names);

} // namespace RegistryAccess
