#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

namespace {

// In-memory store of DWORDs; logs every call ("elsewhere" when not under the program's key)
// and fails the writes of one name.
struct FakeRegistry : SettingsRegistry {
    std::map<std::wstring, std::uint32_t> values;
    std::wstring log, failWrite;

    bool Log(RegistryRoot root, const std::wstring& keyPath, const std::wstring& call) {
        const bool ours =
            root == kCurrentUserRoot && keyPath == L"Software\\Corvane Studio\\qzTetherly";
        log += (ours ? L"" : L"elsewhere ") + call + L";";
        return call.find(L" " + failWrite + L"=") == std::wstring::npos;
    }
    bool ReadDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                   std::uint32_t& target) override {
        Log(root, keyPath, L"read " + name);
        return values.count(name) && (target = values[name], true);
    }
    bool WriteDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                    std::uint32_t v) override {
        return Log(root, keyPath, L"dword " + name + L"=" + std::to_wstring(v));
    }
    bool WriteString(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                     const std::wstring& text) override {
        return Log(root, keyPath, L"string " + name + L"=" + text);
    }
};

TEST(SettingsLoad, ReadsEveryValueInOrderKeepingWhatIsMissing) {
    for (bool complete : {true, false}) {
        FakeRegistry reg;
        reg.values = {{L"HotKey", 0x141},          {L"Modifiers", 0x4009},
                      {L"TuningLeft", 0xFFFFFFFB}, {L"TuningTop", 0x80000000},
                      {L"TuningRight", 1},         {L"TuningBottom", 0xFFFFFFFF}};
        if (!complete)
            reg.values.erase(L"HotKey"); // the first read fails; the others still happen
        Settings s;
        s.HotKey = 77;
        EXPECT_EQ(s.Load(reg), complete);
        EXPECT_EQ(reg.log, L"read HotKey;read Modifiers;read TuningLeft;read TuningTop;"
                           L"read TuningRight;read TuningBottom;");
        EXPECT_EQ(s.HotKey, complete ? 0x141u : 77u);
        EXPECT_EQ(
            std::make_tuple(s.Modifiers, s.TuningLeft, s.TuningTop, s.TuningRight, s.TuningBottom),
            std::make_tuple(0x4009u, -5, INT32_MIN, 1, -1));
    }
}

TEST(SettingsSave, WritesVersionThenFieldsAsTwosComplementAndReportsAnyFailure) {
    for (const std::string failing : {"", "Version", "TuningTop"}) {
        FakeRegistry reg;
        reg.failWrite.assign(failing.begin(), failing.end());
        Settings s;
        s.HotKey = 0x7A;
        s.TuningLeft = -5;
        s.TuningRight = 3;
        EXPECT_EQ(s.Save(reg), failing.empty()) << "failing " << failing;
        EXPECT_EQ(reg.log, L"string Version=1.2;dword HotKey=122;dword Modifiers=0;"
                           L"dword TuningLeft=4294967291;dword TuningTop=0;"
                           L"dword TuningRight=3;dword TuningBottom=0;");
    }
}

} // namespace
