// The value functions against values planted and checked with the raw API.
#include "settings/registry_access.h"

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "registry_test_support.h"

using namespace regtest;

namespace {

class RegistryValues : public ScratchKey {};

struct PlantedValue {
    bool present;
    DWORD type;
    Bytes data;
};

const Bytes kQword = {1, 2, 3, 4, 5, 6, 7, 8};

TEST_F(RegistryValues, ReadDwordTakesUpToFourBytesOfAnyType) {
    struct Case {
        const char* what;
        PlantedValue value;
        bool ok;
        DWORD expected;
    };
    const Case cases[] = {
        {"REG_DWORD", {true, REG_DWORD, {0x44, 0x33, 0x22, 0x11}}, true, 0x11223344},
        {"two bytes replace the low two", {true, REG_BINARY, {0x34, 0x12}}, true, 0xAABB1234},
        {"one byte replaces the low one", {true, REG_BINARY, {0x7F}}, true, 0xAABBCC7F},
        {"no data replaces nothing", {true, REG_BINARY, {}}, true, 0xAABBCCDD},
        {"four-byte REG_SZ", {true, REG_SZ, Utf16(L"A")}, true, 0x00000041},
        {"five bytes", {true, REG_BINARY, {0x01, 0x02, 0x03, 0x04, 0x05}}, false, 0xAABBCCDD},
        {"eight-byte REG_QWORD", {true, REG_QWORD, kQword}, false, 0xAABBCCDD},
        {"missing value", {false, REG_NONE, {}}, false, 0xAABBCCDD},
    };
    for (const Case& c : cases) {
        const std::wstring name = Widen(c.what);
        if (c.value.present) {
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), name, c.value.type, c.value.data));
        }
        DWORD target = 0xAABBCCDD;
        EXPECT_EQ(RegistryAccess::ReadDword(HKEY_CURRENT_USER, Path(), name, target), c.ok)
            << c.what;
        EXPECT_EQ(target, c.expected) << c.what;
    }
    DWORD target = 0x5A5A5A5A;
    EXPECT_FALSE(RegistryAccess::ReadDword(HKEY_CURRENT_USER, Path(L"Missing"), L"V", target));
    EXPECT_EQ(target, 0x5A5A5A5Au);
}

TEST_F(RegistryValues, ReadStringUsesOnlyTheReturnedBytes) {
    const std::wstring text300(300, L'q');
    Bytes oddTail = Utf16(text300, false);
    oddTail.push_back('!');
    struct Case {
        const char* what;
        PlantedValue value;
        bool ok;
        std::wstring expected;
    };
    const Case cases[] = {
        {"text", {true, REG_SZ, Utf16(L"hello")}, true, L"hello"},
        {"REG_DWORD 0x41", {true, REG_DWORD, {0x41, 0x00, 0x00, 0x00}}, true, L"A"},
        {"empty REG_SZ", {true, REG_SZ, {0x00, 0x00}}, true, L""},
        {"no data", {true, REG_BINARY, {}}, true, L""},
        {"no terminating NUL", {true, REG_BINARY, Utf16(L"ab", false)}, true, L"ab"},
        {"odd byte count drops the last byte",
         {true, REG_BINARY, {'a', 0, 'b', 0, 'c'}},
         true,
         L"ab"},
        {"one byte", {true, REG_BINARY, {'z'}}, true, L""},
        {"stops at the first NUL",
         {true, REG_MULTI_SZ, Utf16(std::wstring(L"ab\0cd\0", 6))},
         true,
         L"ab"},
        {"259 characters fill the first buffer",
         {true, REG_SZ, Utf16(std::wstring(259, L'x'))},
         true,
         std::wstring(259, L'x')},
        {"260 unterminated characters fill it exactly",
         {true, REG_BINARY, Utf16(std::wstring(260, L'y'), false)},
         true,
         std::wstring(260, L'y')},
        {"300 characters need the second query", {true, REG_SZ, Utf16(text300)}, true, text300},
        {"601 unterminated bytes", {true, REG_BINARY, oddTail}, true, text300},
        {"missing value", {false, REG_NONE, {}}, false, L"unchanged"},
    };
    for (const Case& c : cases) {
        const std::wstring name = Widen(c.what);
        if (c.value.present) {
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), name, c.value.type, c.value.data));
        }
        std::wstring text = L"unchanged";
        EXPECT_EQ(RegistryAccess::ReadString(HKEY_CURRENT_USER, Path(), name, text), c.ok)
            << c.what;
        EXPECT_EQ(text, c.expected) << c.what;
    }
    std::wstring text = L"unchanged";
    EXPECT_FALSE(RegistryAccess::ReadString(HKEY_CURRENT_USER, Path(L"Missing"), L"V", text));
    EXPECT_EQ(text, L"unchanged");
}

TEST_F(RegistryValues, ReadBinaryReturnsExactlyTheData) {
    Bytes large(1000);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<BYTE>(i * 7 + 3);
    struct Case {
        const char* what;
        PlantedValue value;
        bool ok;
        Bytes expected;
    };
    const Case cases[] = {
        {"missing value", {false, REG_NONE, {}}, false, {}},
        {"one byte", {true, REG_BINARY, {0x5A}}, true, {0x5A}},
        {"empty", {true, REG_BINARY, {}}, true, {}},
        {"REG_DWORD", {true, REG_DWORD, {0x78, 0x56, 0x34, 0x12}}, true, {0x78, 0x56, 0x34, 0x12}},
        {"REG_SZ", {true, REG_SZ, Utf16(L"hi")}, true, {'h', 0, 'i', 0, 0, 0}},
        {"1000 bytes", {true, REG_BINARY, large}, true, large},
    };
    for (const Case& c : cases) {
        const std::wstring name = Widen(c.what);
        if (c.value.present) {
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), name, c.value.type, c.value.data));
        }
        Bytes data = {0xEE, 0xEE};
        EXPECT_EQ(RegistryAccess::ReadBinary(HKEY_CURRENT_USER, Path(), name, data), c.ok)
            << c.what;
        EXPECT_EQ(data, c.expected) << c.what;
    }
    Bytes data = {0xEE};
    EXPECT_FALSE(RegistryAccess::ReadBinary(HKEY_CURRENT_USER, Path(L"Missing"), L"V", data));
    EXPECT_TRUE(data.empty());
}

TEST_F(RegistryValues, WritesStoreTypeAndBytesReplacingTheOldValue) {
    const std::wstring text300(300, L'w');
    const BYTE three[] = {0x01, 0x02, 0x03};
    using Write = std::function<bool(const std::wstring& path, const std::wstring& name)>;
    struct Case {
        const char* what;
        Write write;
        DWORD type;
        Bytes data;
    };
    const Case cases[] = {
        {"dword",
         [](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteDword(HKEY_CURRENT_USER, p, n, 0x12345678);
         },
         REG_DWORD,
         {0x78, 0x56, 0x34, 0x12}},
        {"empty text",
         [](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteString(HKEY_CURRENT_USER, p, n, L"");
         },
         REG_SZ,
         {0x00, 0x00}},
        {"version text",
         [](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteString(HKEY_CURRENT_USER, p, n, L"1.2");
         },
         REG_SZ,
         {'1', 0, '.', 0, '2', 0, 0, 0}},
        {"300 characters",
         [&](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteString(HKEY_CURRENT_USER, p, n, text300);
         },
         REG_SZ, Utf16(text300)},
        {"three bytes",
         [&](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteBinary(HKEY_CURRENT_USER, p, n, three, 3);
         },
         REG_BINARY,
         {0x01, 0x02, 0x03}},
        {"no bytes",
         [](const std::wstring& p, const std::wstring& n) {
             return RegistryAccess::WriteBinary(HKEY_CURRENT_USER, p, n, nullptr, 0);
         },
         REG_BINARY,
         {}},
    };
    for (const Case& c : cases) {
        const std::wstring name = Widen(c.what);
        ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), name, REG_MULTI_SZ, Utf16(L"old value")));
        EXPECT_TRUE(c.write(Path(), name)) << c.what;
        const RawValue raw = QueryRaw(HKEY_CURRENT_USER, Path(), name);
        EXPECT_TRUE(raw.found) << c.what;
        EXPECT_EQ(raw.type, c.type) << c.what;
        EXPECT_EQ(raw.data, c.data) << c.what;

        // Under keys that do not exist yet: all of them are created.
        const std::wstring deep = Path(L"New\\" + name + L"\\Leaf");
        EXPECT_TRUE(c.write(deep, L"V")) << c.what;
        EXPECT_EQ(QueryRaw(HKEY_CURRENT_USER, deep, L"V").data, c.data) << c.what;
    }
}

TEST_F(RegistryValues, RemoveValueDeletesOnlyAnExistingValue) {
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), L"Gone", REG_DWORD, {1, 0, 0, 0}));
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(), L"Kept", REG_DWORD, {2, 0, 0, 0}));
    struct Case {
        std::wstring path;
        std::wstring name;
        bool ok;
    };
    const Case cases[] = {
        {Path(), L"Gone", true},
        {Path(), L"Gone", false},
        {Path(), L"Never", false},
        {Path(L"Missing"), L"Kept", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegistryAccess::RemoveValue(HKEY_CURRENT_USER, c.path, c.name), c.ok) << c.name;
    EXPECT_FALSE(QueryRaw(HKEY_CURRENT_USER, Path(), L"Gone").found);
    EXPECT_TRUE(QueryRaw(HKEY_CURRENT_USER, Path(), L"Kept").found);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path(L"Missing")));
}

// Each function works on a key that grants only the right it asks for (and
// WRITE_DAC, for the clean-up), and fails on one that grants everything else.
class RegistryAccessRights : public ScratchKey {};

TEST_F(RegistryAccessRights, EachFunctionAsksForItsOwnRight) {
    using Call = std::function<bool(const std::wstring& path)>;
    struct Case {
        const char* what;
        DWORD right;
        Call call;
    };
    const Case cases[] = {
        {"ReadDword", KEY_QUERY_VALUE,
         [](const std::wstring& p) {
             DWORD v = 0;
             return RegistryAccess::ReadDword(HKEY_CURRENT_USER, p, L"D", v);
         }},
        {"ReadString", KEY_QUERY_VALUE,
         [](const std::wstring& p) {
             std::wstring t;
             return RegistryAccess::ReadString(HKEY_CURRENT_USER, p, L"D", t);
         }},
        {"ReadBinary", KEY_QUERY_VALUE,
         [](const std::wstring& p) {
             Bytes b;
             return RegistryAccess::ReadBinary(HKEY_CURRENT_USER, p, L"D", b);
         }},
        {"WriteDword", KEY_SET_VALUE,
         [](const std::wstring& p) {
             return RegistryAccess::WriteDword(HKEY_CURRENT_USER, p, L"W", 1);
         }},
        {"WriteString", KEY_SET_VALUE,
         [](const std::wstring& p) {
             return RegistryAccess::WriteString(HKEY_CURRENT_USER, p, L"W", L"t");
         }},
        {"WriteBinary", KEY_SET_VALUE,
         [](const std::wstring& p) {
             const BYTE b = 1;
             return RegistryAccess::WriteBinary(HKEY_CURRENT_USER, p, L"W", &b, 1);
         }},
        {"RemoveValue", KEY_SET_VALUE,
         [](const std::wstring& p) {
             return RegistryAccess::RemoveValue(HKEY_CURRENT_USER, p, L"D");
         }},
        {"EnsureKey", KEY_QUERY_VALUE,
         [](const std::wstring& p) {
             return RegistryAccess::EnsureKey(HKEY_CURRENT_USER, p, L"");
         }},
        {"RemoveSubKey", DELETE,
         [](const std::wstring& p) {
             return RegistryAccess::RemoveSubKey(HKEY_CURRENT_USER, p, L"C");
         }},
        {"RemoveKeyPath", DELETE,
         [](const std::wstring& p) {
             return RegistryAccess::RemoveKeyPath(HKEY_CURRENT_USER, p + L"\\C");
         }},
        {"RemoveKeyTree", KEY_ENUMERATE_SUB_KEYS | DELETE,
         [](const std::wstring& p) { return RegistryAccess::RemoveKeyTree(HKEY_CURRENT_USER, p); }},
        {"ListSubKeys", KEY_ENUMERATE_SUB_KEYS,
         [](const std::wstring& p) {
             std::vector<std::wstring> names;
             return RegistryAccess::ListSubKeys(HKEY_CURRENT_USER, p, names);
         }},
        {"ListValues", KEY_QUERY_VALUE,
         [](const std::wstring& p) {
             std::vector<std::wstring> names;
             return RegistryAccess::ListValues(HKEY_CURRENT_USER, p, names);
         }},
    };
    for (const Case& c : cases) {
        for (const bool granted : {true, false}) {
            const std::wstring path = Path(Widen(c.what) + (granted ? L".Only" : L".AllBut"));
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, path, L"D", REG_DWORD, {1, 0, 0, 0}));
            ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, path + L"\\C"));
            // WRITE_DAC always, so that the key can be opened up again afterwards.
            const DWORD mask = granted ? (c.right | WRITE_DAC) : (KEY_ALL_ACCESS & ~c.right);
            wchar_t sddl[64];
            swprintf(sddl, 64, L"D:P(A;;0x%lx;;;WD)", static_cast<unsigned long>(mask));
            RestrictedKey restricted(path, sddl);
            ASSERT_TRUE(restricted.applied()) << c.what;
            EXPECT_EQ(c.call(path), granted)
                << c.what << (granted ? " with only" : " without") << " its right";
        }
    }
}

} // namespace
