// Settings::Load and Settings::Save through the real registry, at the real key.
#include "settings/settings.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "registry_test_support.h"

using namespace regtest;

namespace {

const std::wstring kMakerKey = L"Software\\Corvane Studio";
const std::wstring kStoreKey = kSettingsKeyPath;
const std::wstring kBackupKey = kTestRoot + L"\\SettingsBackup";

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    HKEY source = nullptr;
    HKEY target = nullptr;
    bool ok =
        RegOpenKeyExW(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &target, nullptr) == ERROR_SUCCESS &&
        RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
    if (source != nullptr)
        RegCloseKey(source);
    if (target != nullptr)
        RegCloseKey(target);
    return ok;
}

using Fields = std::array<std::int64_t, 6>;

Fields FieldsOf(const Settings& s) {
    return {s.HotKey, s.Modifiers, s.TuningLeft, s.TuningTop, s.TuningRight, s.TuningBottom};
}

const wchar_t* const kFieldNames[6] = {L"HotKey",    L"Modifiers",   L"TuningLeft",
                                       L"TuningTop", L"TuningRight", L"TuningBottom"};

// Every test starts without the maker's key; a store that was there before is
// put back afterwards.
class RegistrySettings : public ::testing::Test {
protected:
    void SetUp() override {
        m_bHadStore = KeyExists(HKEY_CURRENT_USER, kMakerKey);
        if (m_bHadStore) {
            DeleteTree(HKEY_CURRENT_USER, kBackupKey);
            ASSERT_TRUE(CopyTree(kMakerKey, kBackupKey));
            DeleteTree(HKEY_CURRENT_USER, kMakerKey);
        }
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kMakerKey));
    }
    void TearDown() override {
        DeleteTree(HKEY_CURRENT_USER, kMakerKey);
        if (m_bHadStore && CopyTree(kBackupKey, kMakerKey)) {
            DeleteTree(HKEY_CURRENT_USER, kBackupKey);
            RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot.c_str());
        }
    }

    bool m_bHadStore = false;
};

TEST_F(RegistrySettings, SaveWritesTheLayoutAndLoadReadsItBack) {
    struct Case {
        Settings record;
        std::array<Bytes, 6> stored;
    };
    const Case cases[] = {
        {{0x78, 3, -5, 7, 0, INT32_MIN},
         {{{0x78, 0, 0, 0},
           {0x03, 0, 0, 0},
           {0xFB, 0xFF, 0xFF, 0xFF},
           {0x07, 0, 0, 0},
           {0, 0, 0, 0},
           {0, 0, 0, 0x80}}}},
        {{255, 15, INT32_MAX, -1, 1, -100},
         {{{0xFF, 0, 0, 0},
           {0x0F, 0, 0, 0},
           {0xFF, 0xFF, 0xFF, 0x7F},
           {0xFF, 0xFF, 0xFF, 0xFF},
           {0x01, 0, 0, 0},
           {0x9C, 0xFF, 0xFF, 0xFF}}}},
    };
    for (const Case& c : cases) {
        // The store's key and its parent are missing: saving creates both.
        DeleteTree(HKEY_CURRENT_USER, kMakerKey);
        EXPECT_TRUE(c.record.Save());

        const RawValue version = QueryRaw(HKEY_CURRENT_USER, kStoreKey, L"Version");
        EXPECT_EQ(version.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(version.data, (Bytes{'1', 0, '.', 0, '2', 0, 0, 0}));
        for (int i = 0; i < 6; ++i) {
            const RawValue raw = QueryRaw(HKEY_CURRENT_USER, kStoreKey, kFieldNames[i]);
            EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD)) << i;
            EXPECT_EQ(raw.data, c.stored[i]) << i;
        }
        DWORD valueCount = 0;
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kStoreKey.c_str(), 0, KEY_QUERY_VALUE, &key),
                  ERROR_SUCCESS);
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                         nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        EXPECT_EQ(valueCount, 7u);

        Settings loaded;
        EXPECT_TRUE(loaded.Load());
        EXPECT_EQ(FieldsOf(loaded), FieldsOf(c.record));
    }
}

TEST_F(RegistrySettings, LoadTakesWhatTheStoreHolds) {
    struct Planted {
        std::wstring name;
        DWORD type;
        Bytes data;
    };
    const std::vector<Planted> six = {
        {L"HotKey", REG_DWORD, {0x70, 0, 0, 0}},
        {L"Modifiers", REG_DWORD, {0x06, 0, 0, 0}},
        {L"TuningLeft", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}},
        {L"TuningTop", REG_DWORD, {3, 0, 0, 0}},
        {L"TuningRight", REG_DWORD, {4, 0, 0, 0}},
        {L"TuningBottom", REG_DWORD, {5, 0, 0, 0}},
    };
    const Settings zero{};
    struct Case {
        const char* what;
        bool withSix;               // the six values above first,
        std::vector<Planted> extra; // then these, replacing or adding
        Settings before;
        bool ok;
        Fields after;
    };
    const Case cases[] = {
        {"no key", false, {}, zero, false, {0, 0, 0, 0, 0, 0}},
        {"only some values",
         false,
         {{L"HotKey", REG_DWORD, {0x41, 0, 0, 0}},
          {L"TuningTop", REG_DWORD, {0xFD, 0xFF, 0xFF, 0xFF}}},
         zero,
         false,
         {0x41, 0, 0, -3, 0, 0}},
        {"six values, no Version", true, {}, zero, true, {0x70, 6, -2, 3, 4, 5}},
        {"Version of another type",
         true,
         {{L"Version", REG_DWORD, {9, 0, 0, 0}}},
         zero,
         true,
         {0x70, 6, -2, 3, 4, 5}},
        {"four-byte REG_BINARY",
         true,
         {{L"HotKey", REG_BINARY, {0x7A, 0, 0, 0}}},
         zero,
         true,
         {0x7A, 6, -2, 3, 4, 5}},
        {"two bytes replace the low two",
         true,
         {{L"TuningRight", REG_BINARY, {0xFF, 0xFF}}},
         {0, 0, 0, 0, 0x12345678, 0},
         true,
         {0x70, 6, -2, 3, 0x1234FFFF, 5}},
        {"eight bytes keep the field",
         true,
         {{L"TuningBottom", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}}},
         {0, 0, 0, 0, 0, 77},
         false,
         {0x70, 6, -2, 3, 4, 77}},
        {"values beyond the program's own range",
         true,
         {{L"HotKey", REG_DWORD, {0xFF, 0x01, 0, 0}},
          {L"Modifiers", REG_DWORD, {0x0F, 0x0F, 0, 0}}},
         zero,
         true,
         {0x1FF, 0xF0F, -2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        DeleteTree(HKEY_CURRENT_USER, kMakerKey);
        for (const Planted& v : c.withSix ? six : std::vector<Planted>{})
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kStoreKey, v.name, v.type, v.data));
        for (const Planted& v : c.extra)
            ASSERT_TRUE(Plant(HKEY_CURRENT_USER, kStoreKey, v.name, v.type, v.data));
        Settings record = c.before;
        EXPECT_EQ(record.Load(), c.ok) << c.what;
        EXPECT_EQ(FieldsOf(record), c.after) << c.what;
    }
}

} // namespace
