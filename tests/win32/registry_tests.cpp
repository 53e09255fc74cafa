// The registry library and the settings store against the real registry. What
// the tests plant, check and clean up goes through the raw API, so a library
// fault cannot hide itself.
#include "settings/registry_access_win.h"
#include "settings/settings_win.h"
#include "framework/unique_handle.h"

#include <windows.h>
#include <winternl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;
using Names = std::vector<std::wstring>;
using Raw = std::pair<DWORD, Bytes>; // type and data
using namespace RegistryAccess;

const HKEY kHkcu = HKEY_CURRENT_USER;
const std::wstring kScratch = L"Software\\TetherlyTest";
const wchar_t kAllowAll[] = L"D:(A;;KA;;;WD)";

// UTF-16LE bytes of `text`, with or without the terminating NUL.
Bytes Utf16(const std::wstring& text, bool withNul = true) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(bytes, bytes + (text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t));
}

bool KeyExists(const std::wstring& path) {
    UniqueHkey key;
    return RegOpenKeyExW(kHkcu, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS;
}

// Empty when the key could not be created.
UniqueHkey CreateKey(const std::wstring& path) {
    UniqueHkey key;
    if (RegCreateKeyExW(kHkcu, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

bool Plant(const std::wstring& path, const std::wstring& name, DWORD type, const Bytes& data) {
    const UniqueHkey key = CreateKey(path);
    return key && RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                                 static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

// A missing value comes back as REG_NONE without data.
Raw QueryRaw(const std::wstring& path, const std::wstring& name) {
    Bytes data(4096);
    DWORD type = REG_NONE, size = 4096;
    UniqueHkey key;
    if (RegOpenKeyExW(kHkcu, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size))
        return {REG_NONE, {}};
    return {type, Bytes(data.begin(), data.begin() + size)};
}

bool SetKeySecurity(const std::wstring& path, const wchar_t* sddl, SECURITY_INFORMATION what) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    UniqueHkey key;
    const REGSAM access = WRITE_DAC | WRITE_OWNER;
    const bool ok = RegOpenKeyExW(kHkcu, path.c_str(), 0, access, key.put()) == ERROR_SUCCESS &&
                    RegSetKeySecurity(key.get(), what, sd) == ERROR_SUCCESS;
    LocalFree(sd);
    return ok;
}

// Handles this process holds, registry keys included. The per-process counter
// stays 0 under Wine, so walk the extended system handle table (class 64): a
// two-word header, then entries of object, process id, handle, access, two
// USHORTs and two ULONGs.
long OwnHandleCount() {
    constexpr std::size_t kEntry = 3 * sizeof(ULONG_PTR) + 16;
    Bytes buffer(1 << 22);
    if (NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(64), buffer.data(),
                                 static_cast<ULONG>(buffer.size()), nullptr) != 0)
        return -1;
    ULONG_PTR entries = 0, process = 0;
    std::memcpy(&entries, buffer.data(), sizeof entries);
    long own = 0;
    for (ULONG_PTR i = 0; i < entries; ++i) {
        std::memcpy(&process, &buffer[(i * kEntry) + (3 * sizeof(ULONG_PTR))], sizeof process);
        own += process == GetCurrentProcessId() ? 1 : 0;
    }
    return own;
}

// Each test gets the scratch key, empty at the start and gone afterwards, and
// must leave no handle behind.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(kHkcu, kScratch.c_str());
        m_handles = OwnHandleCount();
        m_key = CreateKey(kScratch);
        ASSERT_EQ(OwnHandleCount(), m_handles + 1) << "the handle count must see the scratch key";
    }
    void TearDown() override {
        m_key.reset();
        // Not after a failure: gtest's output may open handles of its own.
        EXPECT_EQ(HasFailure() ? m_handles : OwnHandleCount(), m_handles) << "handles left open";
        SetKeySecurity(Path(L"T\\M"), kAllowAll, DACL_SECURITY_INFORMATION); // if a test locked it
        RegDeleteTreeW(kHkcu, kScratch.c_str());
    }

    std::wstring Path(const std::wstring& below = L"") const {
        return below.empty() ? kScratch : kScratch + L"\\" + below;
    }
    void MakeKeys(const Names& below) {
        for (const std::wstring& name : below)
            ASSERT_TRUE(CreateKey(Path(name))) << name;
    }
    void ExpectKeys(const std::wstring& what, const Names& present, const Names& absent) const {
        for (const std::wstring& key : present)
            EXPECT_TRUE(KeyExists(Path(key))) << what << L": " << key;
        for (const std::wstring& key : absent)
            EXPECT_FALSE(KeyExists(Path(key))) << what << L": " << key;
    }

    UniqueHkey m_key; // the scratch key, open with full access
    long m_handles = 0;
};

// Each value read as a DWORD (preset 0x12345678), as text (preset "old") and as bytes.
TEST_F(Registry, ReadsUseOnlyTheBytesThePlatformReturns) {
    const std::wstring t300(300, L'q'), y260(260, L'y');
    constexpr DWORD kKept = 0x12345678;
    // name, type, data (also what ReadBinary gives), ReadDword's result and target, text
    const std::tuple<std::wstring, DWORD, Bytes, bool, DWORD, std::wstring> cases[] = {
        {L"Dword", REG_DWORD, {0x41, 0, 0, 0}, true, 0x41, L"A"},
        {L"TwoBytes", REG_BINARY, {0xFF, 0xFF}, true, 0x1234FFFF, std::wstring(1, L'\xFFFF')},
        {L"EightBytes", REG_QWORD, {0x61, 0, 0, 0, 0, 0, 0, 0}, false, kKept, L"a"},
        {L"OddLength", REG_BINARY, {'a', 0, 'b', 0, 'c'}, false, kKept, L"ab"},
        {L"Unterminated", REG_BINARY, Utf16(L"ab", false), true, 0x00620061, L"ab"},
        {L"Fills520", REG_BINARY, Utf16(y260, false), false, kKept, y260},
        {L"Text300", REG_SZ, Utf16(t300), false, kKept, t300}, // needs the second query
        {L"Missing", REG_NONE, {}, false, kKept, L"old"},      // not planted
    };
    for (const auto& [name, type, data, dwordOk, dword, text] : cases) {
        const bool planted = type != REG_NONE;
        ASSERT_TRUE(!planted || Plant(Path(), name, type, data));
        DWORD gotDword = kKept;
        std::wstring gotText = L"old";
        Bytes gotData = {0xEE};
        EXPECT_EQ(ReadDword(kHkcu, Path(), name, gotDword), dwordOk) << name;
        EXPECT_EQ(ReadString(kHkcu, Path(), name, gotText), planted) << name;
        EXPECT_EQ(ReadBinary(kHkcu, Path(), name, gotData), planted) << name;
        EXPECT_EQ(std::tie(gotDword, gotText, gotData), std::tie(dword, text, data)) << name;
    }
}

TEST_F(Registry, WritesCreateMissingParentsAndStoreExactBytes) {
    const BYTE three[] = {1, 2, 3};
    EXPECT_TRUE(WriteDword(kHkcu, Path(L"N\\Dword"), L"V", 0x12345678));
    EXPECT_EQ(QueryRaw(Path(L"N\\Dword"), L"V"), Raw(REG_DWORD, {0x78, 0x56, 0x34, 0x12}));
    EXPECT_TRUE(WriteString(kHkcu, Path(L"N\\Empty"), L"V", L""));
    EXPECT_EQ(QueryRaw(Path(L"N\\Empty"), L"V"), Raw(REG_SZ, {0, 0}));
    EXPECT_TRUE(WriteBinary(kHkcu, Path(L"N\\Three"), L"V", three, 3));
    EXPECT_EQ(QueryRaw(Path(L"N\\Three"), L"V"), Raw(REG_BINARY, {1, 2, 3}));
    EXPECT_TRUE(WriteBinary(kHkcu, Path(L"N\\None"), L"V", nullptr, 0));
    EXPECT_EQ(QueryRaw(Path(L"N\\None"), L"V"), Raw(REG_BINARY, {}));
}

using KeyCase = std::tuple<std::wstring, bool, Names, Names>; // path, result, present, absent

// Relative to the scratch key: an empty name would be the scratch key itself.
TEST_F(Registry, EnsureKeyJoinsAsGivenAndRemoveKeyPathDeletesTheLastKey) {
    const KeyCase made[] = {{L"A\\", true, {L"A\\B"}, {L"AB"}}, {L"P", true, {L"PB"}, {L"P"}}};
    for (const auto& [path, ok, present, absent] : made) {
        EXPECT_EQ(EnsureKey(m_key.get(), path, L"B"), ok) << path;
        ExpectKeys(path, present, absent);
    }
    MakeKeys({L"PB\\Q"});
    const KeyCase removed[] = {
        {L"A\\B\\\\", true, {L"A"}, {L"A\\B"}},
        {L"PB", false, {L"PB\\Q"}, {}}, // has a sub-key
        {L"PB\\Q", true, {L"PB"}, {L"PB\\Q"}},
        {L"A", true, {}, {L"A"}},
        {L"PB", true, {}, {L"PB"}},
        {L"\\\\", false, {L""}, {}}, // the scratch key, now without sub-keys
        {L"", false, {L""}, {}},
    };
    for (const auto& [path, ok, present, absent] : removed) {
        EXPECT_EQ(RemoveKeyPath(m_key.get(), path), ok) << path;
        ExpectKeys(path, present, absent);
    }
}

// T\M denies DELETE. Wine grants an owner every standard right whatever the
// DACL says, so the key is also handed to SYSTEM.
TEST_F(Registry, RemoveKeyTreeGoesOnPastAKeyItCannotDelete) {
    MakeKeys({L"T\\A\\A1", L"T\\M", L"T\\Z\\Z1"});
    const std::wstring locked = Path(L"T\\M");
    ASSERT_TRUE(SetKeySecurity(locked, L"D:(D;;SD;;;WD)(A;;KA;;;WD)", DACL_SECURITY_INFORMATION));
    SetKeySecurity(locked, L"O:SY", OWNER_SECURITY_INFORMATION);
    UniqueHkey probe;
    ASSERT_EQ(RegOpenKeyExW(kHkcu, locked.c_str(), 0, DELETE, probe.put()), ERROR_ACCESS_DENIED);
    const KeyCase cases[] = {
        {L"Missing", false, {L"T\\A\\A1", L"T\\M"}, {}},
        {L"\\\\", false, {L"T\\A\\A1", L"T\\Z\\Z1"}, {}},
        {L"T\\\\", false, {L"T", L"T\\M"}, {L"T\\A", L"T\\Z"}},
    };
    for (const auto& [path, ok, present, absent] : cases) {
        EXPECT_EQ(RemoveKeyTree(m_key.get(), path), ok) << path;
        ExpectKeys(path, present, absent);
    }
    ASSERT_TRUE(SetKeySecurity(locked, kAllowAll, DACL_SECURITY_INFORMATION));
    EXPECT_TRUE(RemoveKeyTree(m_key.get(), L"T\\"));
    ExpectKeys(L"unlocked", {L""}, {L"T"});
}

TEST_F(Registry, ListsAppendNamesThatFitTheirBuffer) {
    const std::wstring name259(259, L'n'), name260(260, L'z');
    MakeKeys({L"Keys\\b", L"Keys\\a\\deeper"});
    for (const std::wstring& name : {std::wstring(), std::wstring(L"a"), name259})
        ASSERT_TRUE(Plant(Path(L"Values"), name, REG_DWORD, {1, 0, 0, 0}));
    for (const std::wstring& name : {std::wstring(L"a"), name260})
        ASSERT_TRUE(Plant(Path(L"TooLong"), name, REG_DWORD, {1, 0, 0, 0}));
    using List = bool (*)(HKEY, const std::wstring&, Names&);
    const std::tuple<List, std::wstring, bool, Names> cases[] = {
        {ListSubKeys, L"Keys", true, {L"x", L"a", L"b"}},
        {ListValues, L"Values", true, {L"x", L"", L"a", name259}},
        {ListValues, L"TooLong", false, {L"x", L"a"}},
    };
    for (const auto& [list, key, ok, expected] : cases) {
        Names names = {L"x"};
        EXPECT_EQ(list(kHkcu, Path(key), names), ok) << key;
        EXPECT_EQ(names, expected) << key;
    }
}

const std::wstring kMakerKey = L"Software\\Corvane Studio";

using Fields = std::vector<std::int64_t>;

Fields FieldsOf(const Settings& s) {
    return {s.HotKey, s.Modifiers, s.TuningLeft, s.TuningTop, s.TuningRight, s.TuningBottom};
}

// Starts without the maker's key; a store that was there waits in the scratch
// key and is put back afterwards.
class RegistrySettings : public Registry {
protected:
    void SetUp() override {
        Registry::SetUp();
        m_bHadStore = KeyExists(kMakerKey);
        ASSERT_TRUE(!m_bHadStore || RegCopyTreeW(kHkcu, kMakerKey.c_str(), m_key.get()) == 0);
        RegDeleteTreeW(kHkcu, kMakerKey.c_str());
        ASSERT_FALSE(KeyExists(kMakerKey));
    }
    void TearDown() override {
        RegDeleteTreeW(kHkcu, kMakerKey.c_str());
        if (!m_bHadStore || RegCopyTreeW(m_key.get(), nullptr, CreateKey(kMakerKey).get()) == 0)
            Registry::TearDown();
    }

    bool m_bHadStore = false;
};

// Save, then Load over a changed store: "Version" is not read, data of up to
// four bytes of any type is taken, fields whose value is missing keep theirs.
TEST_F(RegistrySettings, SaveWritesTheStoreAndLoadTakesWhatItHolds) {
    const Settings record{0x1FF, 0x10F, -5, 7, 0, INT32_MIN};
    EXPECT_TRUE(record.Save(DefaultSettingsRegistry())); // the key and its parent are missing
    EXPECT_EQ(QueryRaw(kSettingsKeyPath, L"Version"), Raw(REG_SZ, Utf16(L"1.2")));
    EXPECT_EQ(QueryRaw(kSettingsKeyPath, L"HotKey"), Raw(REG_DWORD, {0xFF, 0x01, 0, 0}));
    EXPECT_EQ(QueryRaw(kSettingsKeyPath, L"TuningLeft"), Raw(REG_DWORD, {0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(QueryRaw(kSettingsKeyPath, L"TuningBottom"), Raw(REG_DWORD, {0, 0, 0, 0x80}));
    Settings loaded;
    EXPECT_TRUE(loaded.Load(DefaultSettingsRegistry()));
    EXPECT_EQ(FieldsOf(loaded), FieldsOf(record));

    ASSERT_TRUE(Plant(kSettingsKeyPath, L"Version", REG_SZ, Utf16(L"0.1")) &&
                Plant(kSettingsKeyPath, L"HotKey", REG_BINARY, {0x7A, 0, 0, 0}) &&
                Plant(kSettingsKeyPath, L"TuningRight", REG_BINARY, {0xFF, 0xFF}));
    Settings preset{1, 2, 3, 4, 0x12345678, 77};
    EXPECT_TRUE(preset.Load(DefaultSettingsRegistry()));
    EXPECT_EQ(FieldsOf(preset), Fields({0x7A, 0x10F, -5, 7, 0x1234FFFF, INT32_MIN}));
    ASSERT_EQ(RegDeleteKeyValueW(kHkcu, kSettingsKeyPath, L"TuningTop"), ERROR_SUCCESS);
    preset = {1, 2, 3, 4, 0x12345678, 77};
    EXPECT_FALSE(preset.Load(DefaultSettingsRegistry()));
    EXPECT_EQ(FieldsOf(preset), Fields({0x7A, 0x10F, -5, 4, 0x1234FFFF, INT32_MIN}));
}

} // namespace
