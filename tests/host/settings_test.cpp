#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// In-memory registry with the platform's read semantics: data of up to four bytes
// goes into the target's low bytes, longer data fails.
class FakeRegistry : public SettingsRegistry {
public:
    std::map<std::wstring, std::vector<unsigned char>> values;
    std::vector<std::wstring> calls;
    std::wstring failWrite;

    bool ReadDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                   std::uint32_t& target) override {
        calls.push_back(L"read " + name);
        EXPECT_EQ(root, kCurrentUserRoot);
        EXPECT_EQ(keyPath, L"Software\\Corvane Studio\\qzTetherly");
        auto it = values.find(name);
        if (it == values.end() || it->second.size() > 4)
            return false;
        for (std::size_t i = 0; i < it->second.size(); ++i) {
            target &= ~(0xFFu << (8 * i));
            target |= static_cast<std::uint32_t>(it->second[i]) << (8 * i);
        }
        return true;
    }
    bool WriteDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                    std::uint32_t value) override {
        calls.push_back(L"dword " + name);
        EXPECT_EQ(root, kCurrentUserRoot);
        EXPECT_EQ(keyPath, L"Software\\Corvane Studio\\qzTetherly");
        if (name == failWrite)
            return false;
        values[name] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                        static_cast<unsigned char>(value >> 16),
                        static_cast<unsigned char>(value >> 24)};
        return true;
    }
    bool WriteString(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                     const std::wstring& text) override {
        calls.push_back(L"string " + name + L"=" + text);
        EXPECT_EQ(root, kCurrentUserRoot);
        EXPECT_EQ(keyPath, L"Software\\Corvane Studio\\qzTetherly");
        return name != failWrite;
    }
    void Put(const std::wstring& name, std::vector<unsigned char> bytes) {
        values[name] = std::move(bytes);
    }
};

const std::vector<std::wstring> kReadOrder = {L"read HotKey",      L"read Modifiers",
                                              L"read TuningLeft",  L"read TuningTop",
                                              L"read TuningRight", L"read TuningBottom"};

TEST(SettingsLoad, EmptyStoreKeepsZerosAndFails) {
    FakeRegistry reg;
    Settings s;
    EXPECT_FALSE(s.Load(reg));
    EXPECT_EQ(reg.calls, kReadOrder);
    EXPECT_EQ(s.HotKey, 0u);
    EXPECT_EQ(s.Modifiers, 0u);
    EXPECT_EQ(s.TuningLeft, 0);
    EXPECT_EQ(s.TuningBottom, 0);
}

TEST(SettingsLoad, FullStoreLoadsEveryFieldAndIgnoresVersion) {
    FakeRegistry reg;
    reg.Put(L"HotKey", {0x41, 0x01, 0, 0}); // above 255 loads unchanged
    reg.Put(L"Modifiers", {0x09, 0x40, 0, 0});
    reg.Put(L"TuningLeft", {0xFB, 0xFF, 0xFF, 0xFF});
    reg.Put(L"TuningTop", {0x00, 0x00, 0x00, 0x80});
    reg.Put(L"TuningRight", {0xFF, 0xFF, 0xFF, 0x7F});
    reg.Put(L"TuningBottom", {0x0C, 0, 0, 0});
    Settings s;
    EXPECT_TRUE(s.Load(reg));
    EXPECT_EQ(reg.calls, kReadOrder);
    EXPECT_EQ(s.HotKey, 0x141u);
    EXPECT_EQ(s.Modifiers, 0x4009u);
    EXPECT_EQ(s.TuningLeft, -5);
    EXPECT_EQ(s.TuningTop, INT32_MIN);
    EXPECT_EQ(s.TuningRight, INT32_MAX);
    EXPECT_EQ(s.TuningBottom, 12);
}

TEST(SettingsLoad, PartialAndOddSizedValues) {
    struct Row {
        const char* what;
        std::vector<unsigned char> bytes;
        std::int32_t before;
        std::int32_t expected;
        bool loaded;
    };
    const Row rows[] = {
        {"two bytes replace only the low half", {0x34, 0x12}, 0x7F00FFFF, 0x7F001234, true},
        {"one byte", {0x05}, -1, static_cast<std::int32_t>(0xFFFFFF05u), true},
        {"empty data changes nothing", {}, 77, 77, true},
        {"eight bytes fail and keep the field", {1, 2, 3, 4, 5, 6, 7, 8}, 42, 42, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeRegistry reg;
        reg.Put(L"HotKey", {0x7B, 0, 0, 0});
        reg.Put(L"Modifiers", {2, 0, 0, 0});
        reg.Put(L"TuningLeft", {1, 0, 0, 0});
        reg.Put(L"TuningTop", {2, 0, 0, 0});
        reg.Put(L"TuningRight", {3, 0, 0, 0});
        reg.Put(L"TuningBottom", row.bytes);
        Settings s;
        s.TuningBottom = row.before;
        EXPECT_EQ(s.Load(reg), row.loaded);
        EXPECT_EQ(s.TuningBottom, row.expected);
        EXPECT_EQ(s.HotKey, 0x7Bu);
        EXPECT_EQ(s.TuningRight, 3);
    }
}

TEST(SettingsLoad, MissingValuesDoNotStopTheLoop) {
    FakeRegistry reg;
    reg.Put(L"TuningBottom", {9, 0, 0, 0});
    reg.Put(L"HotKey", {0x70, 0, 0, 0});
    Settings s;
    EXPECT_FALSE(s.Load(reg));
    EXPECT_EQ(reg.calls, kReadOrder);
    EXPECT_EQ(s.HotKey, 0x70u);
    EXPECT_EQ(s.TuningBottom, 9);
    EXPECT_EQ(s.Modifiers, 0u);
}

TEST(SettingsSave, WritesVersionThenFieldsInOrderAsTwosComplement) {
    FakeRegistry reg;
    Settings s;
    s.HotKey = 0x7A;
    s.Modifiers = 15;
    s.TuningLeft = -5;
    s.TuningTop = INT32_MIN;
    s.TuningRight = 20;
    s.TuningBottom = -1;
    EXPECT_TRUE(s.Save(reg));
    const std::vector<std::wstring> expected = {
        L"string Version=1.2", L"dword HotKey",      L"dword Modifiers",   L"dword TuningLeft",
        L"dword TuningTop",    L"dword TuningRight", L"dword TuningBottom"};
    EXPECT_EQ(reg.calls, expected);
    EXPECT_EQ(reg.values[L"TuningLeft"], (std::vector<unsigned char>{0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(reg.values[L"TuningTop"], (std::vector<unsigned char>{0, 0, 0, 0x80}));
    EXPECT_EQ(reg.values[L"Modifiers"], (std::vector<unsigned char>{15, 0, 0, 0}));

    Settings back;
    EXPECT_TRUE(back.Load(reg));
    EXPECT_EQ(back.TuningLeft, -5);
    EXPECT_EQ(back.TuningTop, INT32_MIN);
    EXPECT_EQ(back.TuningBottom, -1);
    EXPECT_EQ(back.HotKey, 0x7Au);
}

TEST(SettingsSave, AFailedWriteIsReportedButTheRestIsStillWritten) {
    for (const wchar_t* failing : {L"Version", L"HotKey", L"TuningBottom"}) {
        SCOPED_TRACE(std::string(failing, failing + std::wcslen(failing)));
        FakeRegistry reg;
        reg.failWrite = failing;
        Settings s;
        s.TuningTop = 3;
        EXPECT_FALSE(s.Save(reg));
        EXPECT_EQ(reg.calls.size(), 7u);
        EXPECT_EQ(reg.values.count(L"TuningTop"), 1u);
    }
}

} // namespace
