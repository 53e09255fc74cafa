// The key functions, and that no function leaves a handle behind.
#include "settings/registry_access.h"
#include "settings/unique_hkey.h"

#include <functional>
#include <string>
#include <vector>

#include "registry_test_support.h"

using namespace regtest;

namespace {

using Names = std::vector<std::wstring>;

class RegistryKeys : public ScratchKey {
protected:
    void MakeKeys(const Names& below) {
        for (const std::wstring& key : below)
            ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, Path(key))) << key;
    }
    void ExpectKeys(const char* what, const Names& present, const Names& absent) const {
        for (const std::wstring& key : present)
            EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path(key))) << what << ": " << key;
        for (const std::wstring& key : absent)
            EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path(key))) << what << ": " << key;
    }
    // The scratch key is still open: the root handle was not closed.
    void ExpectRootUsable(const char* what) const {
        DWORD subKeys = 0;
        EXPECT_EQ(RegQueryInfoKeyW(m_hKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS)
            << what;
    }
};

TEST_F(RegistryKeys, EnsureKeyJoinsPathAndSubKeyAsTheyAre) {
    struct Case {
        std::wstring keyPath;
        std::wstring subKey;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {L"A\\", L"B", {L"A\\B"}, {L"AB"}},
        {L"C", L"D", {L"CD"}, {L"C", L"C\\D"}},
        {L"M\\N\\", L"O", {L"M\\N\\O"}, {}},
        {L"A\\", L"B", {L"A\\B"}, {}}, // already there
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RegistryAccess::EnsureKey(HKEY_CURRENT_USER, Path(c.keyPath), c.subKey))
            << c.keyPath << L"+" << c.subKey;
        ExpectKeys("EnsureKey", c.present, c.absent);
    }
    // Relative to an open key, and the key stays open.
    EXPECT_TRUE(RegistryAccess::EnsureKey(m_hKey, L"R\\", L"S"));
    ExpectKeys("EnsureKey under the scratch handle", {L"R\\S"}, {});
    ExpectRootUsable("EnsureKey");
}

TEST_F(RegistryKeys, RemoveSubKeyDeletesOnlyAChildWithoutSubKeys) {
    MakeKeys({L"Leaf", L"Parent\\Child"});
    struct Case {
        std::wstring keyPath;
        std::wstring subKey;
        bool ok;
    };
    const Case cases[] = {
        {L"", L"Leaf", true},      {L"", L"Leaf", false},       {L"", L"Parent", false},
        {L"Missing", L"X", false}, {L"Parent", L"Child", true}, {L"", L"Parent", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegistryAccess::RemoveSubKey(HKEY_CURRENT_USER, Path(c.keyPath), c.subKey), c.ok)
            << c.keyPath << L" / " << c.subKey;
    ExpectKeys("RemoveSubKey", {L""}, {L"Leaf", L"Parent"});
}

TEST_F(RegistryKeys, RemoveKeyPathDeletesTheLastKeyOfThePath) {
    MakeKeys({L"A\\B", L"P\\Q", L"Top"});
    struct Case {
        const char* what;
        std::wstring path;
        bool ok;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {"two trailing backslashes", Path(L"A\\B\\\\"), true, {L"A"}, {L"A\\B"}},
        {"now empty parent", Path(L"A"), true, {L""}, {L"A"}},
        {"key with a sub-key", Path(L"P"), false, {L"P\\Q"}, {}},
        {"missing key", Path(L"Missing\\Key"), false, {}, {L"Missing"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegistryAccess::RemoveKeyPath(HKEY_CURRENT_USER, c.path), c.ok) << c.what;
        ExpectKeys(c.what, c.present, c.absent);
    }
    // A single name is a key directly under the root; the root stays open.
    EXPECT_TRUE(RegistryAccess::RemoveKeyPath(m_hKey, L"Top"));
    ExpectKeys("directly under the root", {L""}, {L"Top"});
    ExpectRootUsable("RemoveKeyPath");
}

TEST_F(RegistryKeys, RemoveKeyPathRefusesAPathOfBackslashesOnly) {
    // The scratch key has no sub-keys, so deleting an empty name under it
    // would delete the scratch key itself.
    for (const std::wstring path : {L"", L"\\", L"\\\\"}) {
        EXPECT_FALSE(RegistryAccess::RemoveKeyPath(m_hKey, path)) << path.size();
        ExpectKeys("backslashes only", {L""}, {});
    }
}

TEST_F(RegistryKeys, RemoveKeyTreeRemovesEverythingBelow) {
    struct Case {
        const char* what;
        Names made;
        std::wstring path;
        bool ok;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {"tree", {L"T\\B\\C", L"T\\D"}, Path(L"T"), true, {L""}, {L"T"}},
        {"trailing backslashes", {L"U\\V"}, Path(L"U\\\\"), true, {L""}, {L"U"}},
        {"single key", {L"W"}, Path(L"W"), true, {L""}, {L"W"}},
        {"missing key", {}, Path(L"Missing"), false, {L""}, {}},
    };
    for (const Case& c : cases) {
        MakeKeys(c.made);
        for (const std::wstring& key : c.made)
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, Path(key), L"Value", REG_DWORD, {1, 0, 0, 0}));
        EXPECT_EQ(RegistryAccess::RemoveKeyTree(HKEY_CURRENT_USER, c.path), c.ok) << c.what;
        ExpectKeys(c.what, c.present, c.absent);
    }
    // Relative to the scratch key, backslashes alone name no key: neither the
    // scratch key (an empty name deletes it while it has no sub-keys) nor its
    // children may go.
    for (const Names& present : {Names{L""}, Names{L"", L"Keep"}}) {
        MakeKeys(present);
        for (const std::wstring path : {L"", L"\\\\"}) {
            EXPECT_FALSE(RegistryAccess::RemoveKeyTree(m_hKey, path)) << path.size();
            ExpectKeys("backslashes only", present, {});
        }
    }
    EXPECT_TRUE(RegistryAccess::RemoveKeyTree(m_hKey, L"Keep"));
    ExpectKeys("under the scratch handle", {L""}, {L"Keep"});
    ExpectRootUsable("RemoveKeyTree");
}

TEST_F(RegistryKeys, RemoveKeyTreeGoesOnPastAKeyItCannotDelete) {
    MakeKeys({L"T\\A\\A1", L"T\\M", L"T\\Z\\Z1"});
    const std::wstring locked = Path(L"T\\M");
    RestrictedKey restricted(locked, L"D:(D;;SD;;;WD)(A;;KA;;;WD)"); // DELETE denied
    ASSERT_TRUE(restricted.applied());
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, locked.c_str(), 0, DELETE, &probe),
              ERROR_ACCESS_DENIED)
        << "the platform lets this process delete the locked key";

    EXPECT_FALSE(RegistryAccess::RemoveKeyTree(HKEY_CURRENT_USER, Path(L"T")));
    ExpectKeys("one locked sub-key", {L"T", L"T\\M"}, {L"T\\A", L"T\\Z"});
}

TEST_F(RegistryKeys, ListSubKeysAppendsInEnumerationOrder) {
    const std::wstring longest(255, L'k');
    MakeKeys({L"Parent\\b", L"Parent\\a", L"Parent\\c", L"Parent\\a\\deeper", L"Long\\" + longest,
              L"Empty"});
    struct Case {
        std::wstring path;
        bool ok;
        Names expected;
    };
    const Case cases[] = {
        {Path(L"Parent"), true, {L"x", L"a", L"b", L"c"}},
        {Path(L"Long"), true, {L"x", longest}},
        {Path(L"Empty"), true, {L"x"}},
        {Path(L"Missing"), false, {L"x"}},
    };
    for (const Case& c : cases) {
        Names names = {L"x"};
        EXPECT_EQ(RegistryAccess::ListSubKeys(HKEY_CURRENT_USER, c.path, names), c.ok) << c.path;
        EXPECT_EQ(names, c.expected) << c.path;
    }
    Names twice;
    EXPECT_TRUE(RegistryAccess::ListSubKeys(HKEY_CURRENT_USER, Path(L"Parent"), twice));
    EXPECT_TRUE(RegistryAccess::ListSubKeys(HKEY_CURRENT_USER, Path(L"Parent"), twice));
    EXPECT_EQ(twice, (Names{L"a", L"b", L"c", L"a", L"b", L"c"}));
}

TEST_F(RegistryKeys, ListValuesAppendsAndRejectsNamesTooLongForItsBuffer) {
    const std::wstring name259(259, L'n');
    const std::wstring name260(260, L'z');
    struct Case {
        const char* what;
        Names planted; // in name order, which is also creation order
        bool ok;
        Names expected;
    };
    const Case cases[] = {
        {"default and named values", {L"", L"a", L"b"}, true, {L"x", L"", L"a", L"b"}},
        {"259 characters", {L"a", name259}, true, {L"x", L"a", name259}},
        {"260 characters", {L"a", name260}, false, {L"x", L"a"}},
        {"no values", {}, true, {L"x"}},
    };
    for (const Case& c : cases) {
        const std::wstring path = Path(Widen(c.what));
        ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, path));
        for (const std::wstring& name : c.planted)
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, path, name, REG_DWORD, {1, 0, 0, 0}));
        Names names = {L"x"};
        EXPECT_EQ(RegistryAccess::ListValues(HKEY_CURRENT_USER, path, names), c.ok) << c.what;
        EXPECT_EQ(names, c.expected) << c.what;
    }
    Names names = {L"x"};
    EXPECT_FALSE(RegistryAccess::ListValues(HKEY_CURRENT_USER, Path(L"Missing"), names));
    EXPECT_EQ(names, Names{L"x"});
}

class RegistryHandles : public ScratchKey {};

// The measure itself: it must see registry handles come and go.
TEST_F(RegistryHandles, CountSeesOpenKeys) {
    const long before = OwnHandleCount();
    ASSERT_GT(before, 0);
    std::vector<UniqueHkey> keys(100);
    for (UniqueHkey& key : keys)
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Path().c_str(), 0, KEY_QUERY_VALUE, key.put()),
                  ERROR_SUCCESS);
    EXPECT_EQ(OwnHandleCount(), before + 100);

    UniqueHkey moved(std::move(keys[0]));
    EXPECT_EQ(keys[0].get(), nullptr);
    HKEY released = keys[1].release();
    keys.clear();
    EXPECT_EQ(OwnHandleCount(), before + 2); // `moved` and `released`
    moved.reset();
    EXPECT_EQ(OwnHandleCount(), before + 1);
    RegCloseKey(released);
    EXPECT_EQ(OwnHandleCount(), before);
}

TEST_F(RegistryHandles, ThousandsOfCallsLeaveNoHandleBehind) {
    const HKEY hkcu = HKEY_CURRENT_USER;
    const std::wstring p = Path();
    const std::wstring text300(300, L't');
    const BYTE blob[600] = {};
    ASSERT_TRUE(Plant(hkcu, p, L"Dword", REG_DWORD, {1, 2, 3, 4}));
    ASSERT_TRUE(Plant(hkcu, p, L"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(Plant(hkcu, p, L"Text", REG_SZ, Utf16(text300)));
    ASSERT_TRUE(Plant(hkcu, p, L"Blob", REG_BINARY, Bytes(600, 0x42)));
    ASSERT_TRUE(Plant(hkcu, Path(L"Long"), std::wstring(300, L'v'), REG_DWORD, {1, 0, 0, 0}));
    ASSERT_TRUE(CreateKey(hkcu, Path(L"Sub\\One")));

    struct Case {
        const char* what;
        std::function<bool()> call; // one round, true when every call gave the expected result
    };
    const Case cases[] = {
        {"ReadDword",
         [&] {
             DWORD v = 0;
             return RegistryAccess::ReadDword(hkcu, p, L"Dword", v) &&
                    !RegistryAccess::ReadDword(hkcu, p, L"Qword", v) &&
                    !RegistryAccess::ReadDword(hkcu, Path(L"Missing"), L"Dword", v);
         }},
        {"ReadString",
         [&] {
             std::wstring t;
             return RegistryAccess::ReadString(hkcu, p, L"Text", t) &&
                    !RegistryAccess::ReadString(hkcu, p, L"Missing", t);
         }},
        {"ReadBinary",
         [&] {
             Bytes b;
             return RegistryAccess::ReadBinary(hkcu, p, L"Blob", b) &&
                    !RegistryAccess::ReadBinary(hkcu, p, L"Missing", b);
         }},
        {"WriteDword", [&] { return RegistryAccess::WriteDword(hkcu, p, L"W1", 7); }},
        {"WriteString", [&] { return RegistryAccess::WriteString(hkcu, p, L"W2", text300); }},
        {"WriteBinary",
         [&] { return RegistryAccess::WriteBinary(hkcu, p, L"W3", blob, sizeof blob); }},
        {"RemoveValue",
         [&] {
             return RegistryAccess::WriteDword(hkcu, p, L"R", 1) &&
                    RegistryAccess::RemoveValue(hkcu, p, L"R") &&
                    !RegistryAccess::RemoveValue(hkcu, p, L"R");
         }},
        {"EnsureKey", [&] { return RegistryAccess::EnsureKey(hkcu, p, L"\\Sub"); }},
        {"RemoveSubKey",
         [&] {
             return RegistryAccess::EnsureKey(hkcu, p, L"\\E") &&
                    RegistryAccess::RemoveSubKey(hkcu, p, L"E") &&
                    !RegistryAccess::RemoveSubKey(hkcu, p, L"Sub");
         }},
        {"RemoveKeyPath",
         [&] {
             return RegistryAccess::EnsureKey(hkcu, p, L"\\F") &&
                    RegistryAccess::RemoveKeyPath(hkcu, Path(L"F")) &&
                    !RegistryAccess::RemoveKeyPath(hkcu, Path(L"Sub"));
         }},
        {"RemoveKeyTree",
         [&] {
             return RegistryAccess::EnsureKey(hkcu, p, L"\\G\\H\\I") &&
                    RegistryAccess::RemoveKeyTree(hkcu, Path(L"G")) &&
                    !RegistryAccess::RemoveKeyTree(hkcu, Path(L"G"));
         }},
        {"ListSubKeys",
         [&] {
             Names n;
             return RegistryAccess::ListSubKeys(hkcu, p, n) &&
                    !RegistryAccess::ListSubKeys(hkcu, Path(L"Missing"), n);
         }},
        {"ListValues",
         [&] {
             Names n;
             return RegistryAccess::ListValues(hkcu, p, n) &&
                    !RegistryAccess::ListValues(hkcu, Path(L"Long"), n);
         }},
    };
    constexpr int kRounds = 2000;
    for (const Case& c : cases) {
        const long before = OwnHandleCount();
        int good = 0;
        for (int i = 0; i < kRounds; ++i)
            good += c.call() ? 1 : 0;
        EXPECT_EQ(good, kRounds) << c.what;
        EXPECT_EQ(OwnHandleCount(), before) << c.what;
    }
}

} // namespace
