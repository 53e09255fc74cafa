// The registry library and the settings store against the real registry, below a scratch key.
// What the test plants and checks goes through the raw API, so a library fault cannot hide.
#include "settings/registry_access_win.h"
#include "settings/settings_win.h"
#include "framework/unique_handle.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using Names = std::vector<std::wstring>;
using namespace RegistryAccess;

// Type and bytes of a value; REG_NONE and no bytes when it is missing.
std::pair<DWORD, Bytes> QueryRaw(HKEY root, const wchar_t* path, const wchar_t* name) {
    UniqueHkey key;
    Bytes data(4096);
    DWORD type = REG_NONE, size = 4096;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, key.put()) ||
        RegQueryValueExW(key.get(), name, nullptr, &type, data.data(), &size))
        return {REG_NONE, {}};
    data.resize(size);
    return {type, data};
}

// The handle the next key gets: the lowest free slot under Wine, the last one freed on Windows.
// A key left open takes that slot, and the next key gets another.
HKEY NextKeyHandle() {
    UniqueHkey key;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put());
    return key.get();
}

TEST(Registry, EachCallKeepsToItsBytesTypesAndKeysAndLeavesNoKeyOpen) {
    const wchar_t kScratch[] = L"Software\\TetherlyTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    UniqueHkey scratch;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              scratch.put(), nullptr),
              ERROR_SUCCESS);
    const HKEY root = scratch.get();
    const HKEY nextHandle = NextKeyHandle();

    // Two bytes replace the low half of the settings store's DWORD; 602 bytes of text need a
    // second query.
    const BYTE ff[] = {0xFF, 0xFF};
    const std::wstring q300(300, L'q');
    RegSetValueExW(root, L"Short", 0, REG_BINARY, ff, 2);
    RegSetValueExW(root, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(q300.c_str()), 602);
    std::uint32_t dword = 0x12345678;
    std::wstring text;
    Bytes data;
    EXPECT_TRUE(DefaultSettingsRegistry().ReadDword(reinterpret_cast<RegistryRoot>(root), L"",
                                                    L"Short", dword));
    EXPECT_EQ(dword, 0x1234FFFFu);
    EXPECT_TRUE(ReadString(root, L"", L"Text", text));
    EXPECT_EQ(text, q300);
    EXPECT_TRUE(ReadBinary(root, L"", L"Short", data));
    EXPECT_EQ(data, Bytes({0xFF, 0xFF}));

    // Writes create missing parents.
    const BYTE three[] = {1, 2, 3};
    EXPECT_TRUE(WriteDword(root, L"N\\D", L"V", 0x12345678));
    EXPECT_EQ(QueryRaw(root, L"N\\D", L"V"),
              std::pair(DWORD{REG_DWORD}, Bytes{0x78, 0x56, 0x34, 0x12}));
    EXPECT_TRUE(WriteString(root, L"N\\S", L"V", L"")); // the platform adds no NUL to nothing
    EXPECT_EQ(QueryRaw(root, L"N\\S", L"V"), std::pair(DWORD{REG_SZ}, Bytes{0, 0}));
    EXPECT_TRUE(WriteBinary(root, L"N\\B", L"V", three, 3));
    EXPECT_EQ(QueryRaw(root, L"N\\B", L"V"), std::pair(DWORD{REG_BINARY}, Bytes{1, 2, 3}));
    EXPECT_TRUE(RemoveValue(root, L"N\\D", L"V"));
    EXPECT_EQ(QueryRaw(root, L"N\\D", L"V").first, REG_NONE);

    // Key trees. Below the library's keys a lasting key can be made: they are not volatile. An
    // empty path never names the root itself.
    EXPECT_TRUE(EnsureKey(root, L"N\\E", L"X")); // joined as given
    UniqueHkey child;
    EXPECT_EQ(RegCreateKeyExW(root, L"N\\EX\\K", 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, child.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_FALSE(RemoveKeyPath(child.get(), L"\\"));
    EXPECT_FALSE(RemoveKeyTree(child.get(), L"\\"));
    EXPECT_EQ(RegSetValueExW(child.get(), L"", 0, REG_BINARY, three, 3), ERROR_SUCCESS);
    child.reset();
    const std::wstring z259(259, L'z'); // the longest name
    RegSetValueExW(root, z259.c_str(), 0, REG_BINARY, three, 3);
    Names keys = {L"x"}, values = {L"x"}, none;
    EXPECT_TRUE(RemoveSubKey(root, L"N", L"B"));
    EXPECT_TRUE(RemoveKeyPath(root, L"N\\S\\\\"));
    EXPECT_TRUE(ListSubKeys(root, L"N", keys));
    EXPECT_EQ(keys, Names({L"x", L"D", L"EX"}));
    EXPECT_TRUE(ListValues(root, L"", values));
    EXPECT_EQ(values, Names({L"x", L"Short", L"Text", z259}));
    EXPECT_TRUE(RemoveKeyTree(root, L"N\\"));
    EXPECT_TRUE(ListSubKeys(root, L"", none));
    EXPECT_EQ(none, Names());

    EXPECT_EQ(NextKeyHandle(), nextHandle) << "a key left open";
    scratch.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
}

} // namespace
