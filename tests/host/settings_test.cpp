#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// In-memory registry with the platform's read rule: up to four bytes go into the
// target's low bytes, longer data fails. Records every call.
class FakeRegistry : public SettingsRegistry {
public:
    std::map<std::wstring, Bytes> values;
    std::vector<std::wstring> calls;
    std::wstring failWrite;

    bool ReadDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                   std::uint32_t& target) override {
        Record(root, keyPath, L"read " + name);
        auto it = values.find(name);
        if (it == values.end() || it->second.size() > 4)
            return false;
        for (std::size_t i = 0; i < it->second.size(); ++i)
            target = (target & ~(0xFFu << (8 * i))) | (std::uint32_t{it->second[i]} << (8 * i));
        return true;
    }
    bool WriteDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                    std::uint32_t v) override {
        Record(root, keyPath, L"dword " + name);
        values[name] =
            Bytes{static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                  static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        return name != failWrite;
    }
    bool WriteString(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                     const std::wstring& text) override {
        Record(root, keyPath, L"string " + name + L"=" + text);
        return name != failWrite;
    }

private:
    void Record(RegistryRoot root, const std::wstring& keyPath, const std::wstring& call) {
        EXPECT_EQ(root, kCurrentUserRoot);
        EXPECT_EQ(keyPath, L"Software\\Corvane Studio\\qzTetherly");
        calls.push_back(call);
    }
};

TEST(SettingsLoad, ReadsEveryValueInOrderKeepingWhatIsMissing) {
    struct Row {
        const char* what;
        std::map<std::wstring, Bytes> store;
        bool loaded;
        std::uint32_t hotKey;
        std::int32_t bottom;
    };
    const Row rows[] = {
        {"empty store", {}, false, 0, 77},
        {"full store, no Version",
         {{L"HotKey", {0x41, 1, 0, 0}},
          {L"Modifiers", {9, 0x40, 0, 0}},
          {L"TuningLeft", {0xFB, 0xFF, 0xFF, 0xFF}},
          {L"TuningTop", {0, 0, 0, 0x80}},
          {L"TuningRight", {1, 0, 0, 0}},
          {L"TuningBottom", {0xFF, 0xFF, 0xFF, 0xFF}}},
         true,
         0x141,
         -1},
        {"partial store", {{L"HotKey", {0x70, 0, 0, 0}}}, false, 0x70, 77},
        {"two bytes replace the low half", {{L"TuningBottom", {0x34, 0x12}}}, false, 0, 0x1234},
        {"eight bytes fail", {{L"TuningBottom", Bytes(8, 1)}}, false, 0, 77},
    };
    for (const Row& r : rows) {
        FakeRegistry reg;
        reg.values = r.store;
        Settings s;
        s.TuningBottom = 77;
        EXPECT_EQ(s.Load(reg), r.loaded) << r.what;
        EXPECT_EQ(reg.calls, (std::vector<std::wstring>{
                                 L"read HotKey", L"read Modifiers", L"read TuningLeft",
                                 L"read TuningTop", L"read TuningRight", L"read TuningBottom"}));
        EXPECT_EQ(s.HotKey, r.hotKey) << r.what;
        EXPECT_EQ(s.TuningBottom, r.bottom) << r.what;
    }
}

TEST(SettingsSave, WritesVersionThenFieldsAsTwosComplementAndReportsAnyFailure) {
    for (const wchar_t* failing : {L"", L"Version", L"TuningTop"}) {
        FakeRegistry reg;
        reg.failWrite = failing;
        Settings s;
        s.HotKey = 0x7A;
        s.TuningLeft = -5;
        s.TuningTop = INT32_MIN;
        EXPECT_EQ(s.Save(reg), *failing == L'\0');
        EXPECT_EQ(reg.calls, (std::vector<std::wstring>{L"string Version=1.2", L"dword HotKey",
                                                        L"dword Modifiers", L"dword TuningLeft",
                                                        L"dword TuningTop", L"dword TuningRight",
                                                        L"dword TuningBottom"}));
        EXPECT_EQ(reg.values[L"TuningLeft"], (Bytes{0xFB, 0xFF, 0xFF, 0xFF}));
        Settings back;
        back.Load(reg);
        EXPECT_EQ(back.TuningTop, INT32_MIN);
        EXPECT_EQ(back.TuningLeft, -5);
    }
}

} // namespace
