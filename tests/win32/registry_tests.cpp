// The registry library and the settings store against the real registry. What
// the tests plant, check and clean up goes through the raw API, so a library
// fault cannot hide itself.
#include "settings/registry_access.h"
#include "settings/settings.h"
#include "settings/unique_hkey.h"

#include <windows.h>
#include <winternl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using Names = std::vector<std::wstring>;

const HKEY kHkcu = HKEY_CURRENT_USER;
const std::wstring kTestRoot = L"Software\\TetherlyTest";

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// UTF-16LE bytes of `text`, with or without the terminating NUL.
Bytes Utf16(const std::wstring& text, bool withNul = true) {
    Bytes bytes;
    for (wchar_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>((unit >> 8) & 0xFF));
    }
    if (withNul)
        bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(kHkcu, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool CreateKey(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(kHkcu, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Plant(const std::wstring& path, const std::wstring& name, DWORD type, const Bytes& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(kHkcu, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status =
        RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// A missing value comes back as REG_NONE without data.
struct RawValue {
    DWORD type = REG_NONE;
    Bytes data;
};

RawValue QueryRaw(const std::wstring& path, const std::wstring& name) {
    RawValue value;
    Bytes buffer(4096);
    DWORD size = static_cast<DWORD>(buffer.size());
    HKEY key = nullptr;
    if (RegOpenKeyExW(kHkcu, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, buffer.data(), &size) ==
        ERROR_SUCCESS)
        value.data.assign(buffer.begin(), buffer.begin() + size);
    else
        value.type = REG_NONE;
    RegCloseKey(key);
    return value;
}

bool SetKeySecurity(const std::wstring& path, const wchar_t* sddl, SECURITY_INFORMATION what) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    const REGSAM access = (what & DACL_SECURITY_INFORMATION) ? WRITE_DAC : WRITE_OWNER;
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(kHkcu, path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, what, sd);
        RegCloseKey(key);
    }
    LocalFree(sd);
    return status == ERROR_SUCCESS;
}

// A key whose DACL is `sddl` while the object lives; afterwards everyone may do
// anything with it again, so that the fixture can delete it. Wine grants an
// owner every standard right (DELETE included) whatever the DACL says, so the
// key is also handed to SYSTEM where the platform allows it.
class RestrictedKey {
public:
    RestrictedKey(const std::wstring& path, const wchar_t* sddl) : m_path(path) {
        m_bApplied = CreateKey(path) && SetKeySecurity(path, sddl, DACL_SECURITY_INFORMATION);
        SetKeySecurity(path, L"O:SY", OWNER_SECURITY_INFORMATION);
    }
    ~RestrictedKey() { SetKeySecurity(m_path, L"D:(A;;KA;;;WD)", DACL_SECURITY_INFORMATION); }
    RestrictedKey(const RestrictedKey&) = delete;
    RestrictedKey& operator=(const RestrictedKey&) = delete;
    bool applied() const { return m_bApplied; }

private:
    std::wstring m_path;
    bool m_bApplied = false;
};

// Handles this process holds, registry keys included. The per-process counter
// stays 0 under Wine, so walk the system handle table.
long OwnHandleCount() {
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
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(kExtendedHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) ==
           static_cast<NTSTATUS>(0xC0000004L)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    ULONG_PTR entries = 0;
    std::memcpy(&entries, buffer.data(), sizeof entries);
    long own = 0;
    for (ULONG_PTR i = 0; i < entries; ++i) {
        Entry entry;
        std::memcpy(&entry, buffer.data() + kHeader + i * sizeof(Entry), sizeof entry);
        if (entry.processId == GetCurrentProcessId())
            ++own;
    }
    return own;
}

// Each test gets HKCU\Software\TetherlyTest\<test>, empty at the start and gone
// afterwards.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = kTestRoot + L"\\" +
                 Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
        RegDeleteTreeW(kHkcu, m_path.c_str());
        ASSERT_EQ(RegCreateKeyExW(kHkcu, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &m_hKey, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(m_hKey);
        RegDeleteTreeW(kHkcu, m_path.c_str());
        RegDeleteKeyW(kHkcu, kTestRoot.c_str()); // only when nothing else is left
    }

    std::wstring Path(const std::wstring& below = L"") const {
        return below.empty() ? m_path : m_path + L"\\" + below;
    }
    void MakeKeys(const Names& below) {
        for (const std::wstring& key : below)
            ASSERT_TRUE(CreateKey(Path(key))) << key;
    }
    void ExpectKeys(const std::wstring& what, const Names& present, const Names& absent) const {
        for (const std::wstring& key : present)
            EXPECT_TRUE(KeyExists(Path(key))) << what << L": " << key;
        for (const std::wstring& key : absent)
            EXPECT_FALSE(KeyExists(Path(key))) << what << L": " << key;
    }

    std::wstring m_path;
    HKEY m_hKey = nullptr; // the scratch key, open with full access
};

TEST_F(Registry, ReadsUseOnlyTheBytesThePlatformReturns) {
    const std::wstring t300(300, L'q');
    const std::wstring y260(260, L'y');
    Bytes odd601 = Utf16(t300, false);
    odd601.push_back('!');
    struct Case {
        const wchar_t* name;
        DWORD type;
        Bytes data; // also what ReadBinary gives back
        std::wstring text;
    };
    const Case cases[] = {
        {L"Dword", REG_DWORD, {0x41, 0, 0, 0}, L"A"},
        {L"Empty", REG_BINARY, {}, L""},
        {L"OneByte", REG_BINARY, {'z'}, L""},
        {L"OddLength", REG_BINARY, {'a', 0, 'b', 0, 'c'}, L"ab"},
        {L"Unterminated", REG_BINARY, Utf16(L"ab", false), L"ab"},
        {L"StopsAtNul", REG_MULTI_SZ, Utf16(std::wstring(L"ab\0cd\0", 6)), L"ab"},
        {L"Fills520", REG_BINARY, Utf16(y260, false), y260}, // the first buffer, exactly
        {L"Text300", REG_SZ, Utf16(t300), t300},             // needs the second query
        {L"Odd601", REG_BINARY, odd601, t300},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Plant(Path(), c.name, c.type, c.data));
        std::wstring text = L"old";
        Bytes data = {0xEE};
        EXPECT_TRUE(RegistryAccess::ReadString(kHkcu, Path(), c.name, text)) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_TRUE(RegistryAccess::ReadBinary(kHkcu, Path(), c.name, data)) << c.name;
        EXPECT_EQ(data, c.data) << c.name;
    }
    std::wstring text = L"old";
    Bytes data = {0xEE};
    EXPECT_FALSE(RegistryAccess::ReadString(kHkcu, Path(), L"Missing", text));
    EXPECT_EQ(text, L"old");
    EXPECT_FALSE(RegistryAccess::ReadBinary(kHkcu, Path(), L"Missing", data));
    EXPECT_TRUE(data.empty());
}

TEST_F(Registry, WritesCreateMissingParentsAndStoreExactBytes) {
    const auto at = [this](const wchar_t* name) { return Path(L"New\\" + std::wstring(name)); };
    const BYTE three[] = {1, 2, 3};
    struct Case {
        const wchar_t* name;
        bool ok;
        DWORD type;
        Bytes data;
    };
    const Case cases[] = {
        {L"Dword",
         RegistryAccess::WriteDword(kHkcu, at(L"Dword"), L"V", 0x12345678),
         REG_DWORD,
         {0x78, 0x56, 0x34, 0x12}},
        {L"Empty", RegistryAccess::WriteString(kHkcu, at(L"Empty"), L"V", L""), REG_SZ, {0, 0}},
        {L"Three",
         RegistryAccess::WriteBinary(kHkcu, at(L"Three"), L"V", three, 3),
         REG_BINARY,
         {1, 2, 3}},
        {L"None",
         RegistryAccess::WriteBinary(kHkcu, at(L"None"), L"V", nullptr, 0),
         REG_BINARY,
         {}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.ok) << c.name;
        const RawValue raw = QueryRaw(at(c.name), L"V");
        EXPECT_EQ(raw.type, c.type) << c.name;
        EXPECT_EQ(raw.data, c.data) << c.name;
    }
}

TEST_F(Registry, EnsureKeyJoinsPathAndSubKeyAsTheyAre) {
    struct Case {
        std::wstring keyPath;
        std::wstring subKey;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {L"A\\", L"B", {L"A\\B"}, {L"AB"}},
        {L"C", L"D", {L"CD"}, {L"C"}},
        {L"A\\", L"B", {L"A\\B"}, {}}, // already there
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RegistryAccess::EnsureKey(kHkcu, Path(c.keyPath), c.subKey)) << c.keyPath;
        ExpectKeys(c.keyPath + c.subKey, c.present, c.absent);
    }
}

// Relative to the scratch key, so that a name without a backslash is a key
// directly under the root, and an empty name would be the scratch key itself.
TEST_F(Registry, RemoveKeyPathDeletesTheLastKeyOfThePath) {
    MakeKeys({L"A\\B", L"P\\Q"});
    struct Case {
        std::wstring path;
        bool ok;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {L"A\\B\\\\", true, {L"A"}, {L"A\\B"}},
        {L"P", false, {L"P\\Q"}, {}}, // has a sub-key
        {L"P\\Q", true, {L"P"}, {L"P\\Q"}},
        {L"A", true, {}, {L"A"}},
        {L"P", true, {}, {L"P"}},
        // The scratch key has no sub-keys left: deleting an empty name would delete it.
        {L"\\\\", false, {L""}, {}},
        {L"", false, {L""}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegistryAccess::RemoveKeyPath(m_hKey, c.path), c.ok) << c.path;
        ExpectKeys(c.path, c.present, c.absent);
    }
}

TEST_F(Registry, RemoveKeyTreeRemovesEverythingBelow) {
    MakeKeys({L"T\\B\\C", L"T\\D"});
    struct Case {
        std::wstring path;
        bool ok;
        Names present;
        Names absent;
    };
    const Case cases[] = {
        {L"Missing", false, {L"T"}, {}},
        {L"T\\\\", true, {L""}, {L"T"}},
        // Names no key; an empty name would be the scratch key, now without sub-keys.
        {L"\\\\", false, {L""}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RegistryAccess::RemoveKeyTree(m_hKey, c.path), c.ok) << c.path;
        ExpectKeys(c.path, c.present, c.absent);
    }
}

TEST_F(Registry, RemoveKeyTreeGoesOnPastAKeyItCannotDelete) {
    MakeKeys({L"T\\A\\A1", L"T\\M", L"T\\Z\\Z1"});
    const std::wstring locked = Path(L"T\\M");
    RestrictedKey restricted(locked, L"D:(D;;SD;;;WD)(A;;KA;;;WD)"); // DELETE denied
    ASSERT_TRUE(restricted.applied());
    HKEY probe = nullptr;
    ASSERT_EQ(RegOpenKeyExW(kHkcu, locked.c_str(), 0, DELETE, &probe), ERROR_ACCESS_DENIED)
        << "the platform lets this process delete the locked key";

    EXPECT_FALSE(RegistryAccess::RemoveKeyTree(kHkcu, Path(L"T")));
    ExpectKeys(L"one locked sub-key", {L"T", L"T\\M"}, {L"T\\A", L"T\\Z"});
}

TEST_F(Registry, ListsAppendNamesThatFitTheirBuffer) {
    const std::wstring name259(259, L'n');
    const std::wstring name260(260, L'z');
    MakeKeys({L"Keys\\b", L"Keys\\a", L"Keys\\c", L"Keys\\a\\deeper", L"Empty"});
    for (const std::wstring& name : {std::wstring(), std::wstring(L"a"), name259})
        ASSERT_TRUE(Plant(Path(L"Values"), name, REG_DWORD, {1, 0, 0, 0}));
    for (const std::wstring& name : {std::wstring(L"a"), name260})
        ASSERT_TRUE(Plant(Path(L"TooLong"), name, REG_DWORD, {1, 0, 0, 0}));
    using List = bool (*)(HKEY, const std::wstring&, Names&);
    struct Case {
        List list;
        std::wstring key;
        bool ok;
        Names expected;
    };
    const Case cases[] = {
        {RegistryAccess::ListSubKeys, L"Keys", true, {L"x", L"a", L"b", L"c"}},
        {RegistryAccess::ListSubKeys, L"Empty", true, {L"x"}},
        {RegistryAccess::ListSubKeys, L"Missing", false, {L"x"}},
        {RegistryAccess::ListValues, L"Values", true, {L"x", L"", L"a", name259}},
        {RegistryAccess::ListValues, L"TooLong", false, {L"x", L"a"}},
        {RegistryAccess::ListValues, L"Empty", true, {L"x"}},
    };
    for (const Case& c : cases) {
        Names names = {L"x"};
        EXPECT_EQ(c.list(kHkcu, Path(c.key), names), c.ok) << c.key;
        EXPECT_EQ(names, c.expected) << c.key;
    }
}

// Every function, called on a key holding value "D" and the empty sub-key "C"
// (where it succeeds), and on one holding only a value whose name is too long
// for the listing (where most of them fail after opening the key).
struct Outputs {
    DWORD dword = 0;
    std::wstring text;
    Bytes data;
    Names names;
};
using Str = const std::wstring&;
struct Call {
    const char* what;
    DWORD right; // the access the function needs on the key
    bool okOnBad;
    bool (*call)(Str path, Outputs& out);
};
const Call kCalls[] = {
    {"ReadDword", KEY_QUERY_VALUE, false,
     [](Str p, Outputs& o) { return RegistryAccess::ReadDword(kHkcu, p, L"D", o.dword); }},
    {"ReadString", KEY_QUERY_VALUE, false,
     [](Str p, Outputs& o) { return RegistryAccess::ReadString(kHkcu, p, L"D", o.text); }},
    {"ReadBinary", KEY_QUERY_VALUE, false,
     [](Str p, Outputs& o) { return RegistryAccess::ReadBinary(kHkcu, p, L"D", o.data); }},
    {"WriteDword", KEY_SET_VALUE, true,
     [](Str p, Outputs&) { return RegistryAccess::WriteDword(kHkcu, p, L"W", 1); }},
    {"WriteString", KEY_SET_VALUE, true,
     [](Str p, Outputs&) { return RegistryAccess::WriteString(kHkcu, p, L"W", L"t"); }},
    {"WriteBinary", KEY_SET_VALUE, true,
     [](Str p, Outputs&) { return RegistryAccess::WriteBinary(kHkcu, p, L"W", "b", 1); }},
    {"RemoveValue", KEY_SET_VALUE, false,
     [](Str p, Outputs&) { return RegistryAccess::RemoveValue(kHkcu, p, L"D"); }},
    {"EnsureKey", KEY_QUERY_VALUE, true,
     [](Str p, Outputs&) { return RegistryAccess::EnsureKey(kHkcu, p, L""); }},
    {"RemoveSubKey", DELETE, false,
     [](Str p, Outputs&) { return RegistryAccess::RemoveSubKey(kHkcu, p, L"C"); }},
    {"RemoveKeyPath", DELETE, false,
     [](Str p, Outputs&) { return RegistryAccess::RemoveKeyPath(kHkcu, p + L"\\C"); }},
    {"RemoveKeyTree", KEY_ENUMERATE_SUB_KEYS | DELETE, true,
     [](Str p, Outputs&) { return RegistryAccess::RemoveKeyTree(kHkcu, p); }},
    {"ListSubKeys", KEY_ENUMERATE_SUB_KEYS, true,
     [](Str p, Outputs& o) { return RegistryAccess::ListSubKeys(kHkcu, p, o.names); }},
    {"ListValues", KEY_QUERY_VALUE, false,
     [](Str p, Outputs& o) { return RegistryAccess::ListValues(kHkcu, p, o.names); }},
};

bool PrepareKey(const std::wstring& path, bool good) {
    RegDeleteTreeW(kHkcu, path.c_str());
    if (good)
        return Plant(path, L"D", REG_DWORD, {1, 0, 0, 0}) && CreateKey(path + L"\\C");
    return Plant(path, std::wstring(300, L'v'), REG_DWORD, {1, 0, 0, 0});
}

// The measure itself must see registry handles come and go, also through the
// owner type's move and release.
TEST_F(Registry, HandleCountSeesOpenKeys) {
    const long before = OwnHandleCount();
    ASSERT_GT(before, 0);
    std::vector<UniqueHkey> keys(10);
    for (UniqueHkey& key : keys)
        ASSERT_EQ(RegOpenKeyExW(kHkcu, Path().c_str(), 0, KEY_QUERY_VALUE, key.put()),
                  ERROR_SUCCESS);
    EXPECT_EQ(OwnHandleCount(), before + 10);
    UniqueHkey moved(std::move(keys[0]));
    HKEY released = keys[1].release();
    keys.clear();
    EXPECT_EQ(OwnHandleCount(), before + 2); // `moved` and `released`
    moved.reset();
    RegCloseKey(released);
    EXPECT_EQ(OwnHandleCount(), before);
}

TEST_F(Registry, NoFunctionLeavesAHandleBehind) {
    constexpr int kRounds = 20;
    for (const Call& c : kCalls) {
        const long before = OwnHandleCount();
        int good = 0;
        Outputs out;
        for (int i = 0; i < kRounds; ++i) {
            ASSERT_TRUE(PrepareKey(Path(L"Good"), true));
            ASSERT_TRUE(PrepareKey(Path(L"Bad"), false));
            good += (c.call(Path(L"Good"), out) && c.call(Path(L"Bad"), out) == c.okOnBad) ? 1 : 0;
        }
        EXPECT_EQ(good, kRounds) << c.what;
        EXPECT_EQ(OwnHandleCount(), before) << c.what;
    }
}

// Each function works on a key that grants only the right it asks for (and
// WRITE_DAC, for the clean-up), and fails on one that grants everything else.
TEST_F(Registry, EachFunctionAsksForItsOwnRight) {
    for (const Call& c : kCalls) {
        for (const bool granted : {true, false}) {
            const std::wstring path = Path(Widen(c.what) + (granted ? L".Only" : L".AllBut"));
            ASSERT_TRUE(PrepareKey(path, true));
            const DWORD mask = granted ? (c.right | WRITE_DAC) : (KEY_ALL_ACCESS & ~c.right);
            wchar_t sddl[64];
            swprintf(sddl, 64, L"D:P(A;;0x%lx;;;WD)", static_cast<unsigned long>(mask));
            RestrictedKey restricted(path, sddl);
            ASSERT_TRUE(restricted.applied()) << c.what;
            Outputs out;
            EXPECT_EQ(c.call(path, out), granted)
                << c.what << (granted ? " with only" : " without");
        }
    }
}

const std::wstring kMakerKey = L"Software\\Corvane Studio";
const std::wstring kStoreKey = kSettingsKeyPath;
const std::wstring kBackupKey = kTestRoot + L"\\SettingsBackup";

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY source = nullptr;
    HKEY target = nullptr;
    const bool ok = RegOpenKeyExW(kHkcu, from.c_str(), 0, KEY_READ, &source) == ERROR_SUCCESS &&
                    RegCreateKeyExW(kHkcu, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &target, nullptr) == ERROR_SUCCESS &&
                    RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    RegCloseKey(source);
    RegCloseKey(target);
    return ok;
}

using Fields = std::array<std::int64_t, 6>;

Fields FieldsOf(const Settings& s) {
    return {s.HotKey, s.Modifiers, s.TuningLeft, s.TuningTop, s.TuningRight, s.TuningBottom};
}

// Every test starts without the maker's key; a store that was there before is
// put back afterwards.
class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override {
        m_bHadStore = KeyExists(kMakerKey);
        if (m_bHadStore) {
            RegDeleteTreeW(kHkcu, kBackupKey.c_str());
            ASSERT_TRUE(CopyTree(kMakerKey, kBackupKey));
            RegDeleteTreeW(kHkcu, kMakerKey.c_str());
        }
        ASSERT_FALSE(KeyExists(kMakerKey));
    }
    void TearDown() override {
        RegDeleteTreeW(kHkcu, kMakerKey.c_str());
        if (m_bHadStore && CopyTree(kBackupKey, kMakerKey)) {
            RegDeleteTreeW(kHkcu, kBackupKey.c_str());
            RegDeleteKeyW(kHkcu, kTestRoot.c_str());
        }
    }

    bool m_bHadStore = false;
};

struct Planted {
    std::wstring name;
    DWORD type;
    Bytes data;
};

TEST_F(RegistrySettings, SaveCreatesTheStoreAndLoadReadsItBack) {
    const Settings record{0x1FF, 0x10F, -5, 7, 0, INT32_MIN};
    EXPECT_TRUE(record.Save()); // the key and its parent are missing
    const Planted stored[] = {
        {L"Version", REG_SZ, {'1', 0, '.', 0, '2', 0, 0, 0}},
        {L"HotKey", REG_DWORD, {0xFF, 0x01, 0, 0}},
        {L"Modifiers", REG_DWORD, {0x0F, 0x01, 0, 0}},
        {L"TuningLeft", REG_DWORD, {0xFB, 0xFF, 0xFF, 0xFF}},
        {L"TuningTop", REG_DWORD, {0x07, 0, 0, 0}},
        {L"TuningRight", REG_DWORD, {0, 0, 0, 0}},
        {L"TuningBottom", REG_DWORD, {0, 0, 0, 0x80}},
    };
    for (const Planted& v : stored) {
        const RawValue raw = QueryRaw(kStoreKey, v.name);
        EXPECT_EQ(raw.type, v.type) << v.name;
        EXPECT_EQ(raw.data, v.data) << v.name;
    }
    Settings loaded;
    EXPECT_TRUE(loaded.Load());
    EXPECT_EQ(FieldsOf(loaded), FieldsOf(record));
}

// Fields whose value is missing or unreadable keep what they held.
TEST_F(RegistrySettings, LoadTakesWhatTheStoreHolds) {
    const Planted six[] = {
        {L"HotKey", REG_DWORD, {0x70, 0, 0, 0}},
        {L"Modifiers", REG_DWORD, {6, 0, 0, 0}},
        {L"TuningLeft", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}},
        {L"TuningTop", REG_DWORD, {3, 0, 0, 0}},
        {L"TuningRight", REG_DWORD, {4, 0, 0, 0}},
        {L"TuningBottom", REG_DWORD, {5, 0, 0, 0}},
    };
    struct Case {
        bool withSix;  // the six values above (no "Version") first,
        Planted extra; // then this one, replacing or adding
        bool ok;
        Fields after;
    };
    const Case cases[] = {
        {false, {}, false, {1, 2, 3, 4, 0x12345678, 77}},
        {false,
         {L"TuningTop", REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}},
         false,
         {1, 2, 3, -3, 0x12345678, 77}},
        {true, {}, true, {0x70, 6, -2, 3, 4, 5}},
        {true, {L"HotKey", REG_BINARY, {0x7A, 0, 0, 0}}, true, {0x7A, 6, -2, 3, 4, 5}},
        {true, {L"TuningRight", REG_BINARY, {0xFF, 0xFF}}, true, {0x70, 6, -2, 3, 0x1234FFFF, 5}},
        {true,
         {L"TuningBottom", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
         false,
         {0x70, 6, -2, 3, 4, 77}},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(kHkcu, kMakerKey.c_str());
        for (const Planted& v : six)
            ASSERT_TRUE(!c.withSix || Plant(kStoreKey, v.name, v.type, v.data));
        ASSERT_TRUE(c.extra.name.empty() ||
                    Plant(kStoreKey, c.extra.name, c.extra.type, c.extra.data));
        Settings record{1, 2, 3, 4, 0x12345678, 77};
        EXPECT_EQ(record.Load(), c.ok) << c.withSix << c.extra.name;
        EXPECT_EQ(FieldsOf(record), c.after) << c.withSix << c.extra.name;
    }
}

} // namespace
