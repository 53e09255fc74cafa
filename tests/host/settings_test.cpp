#include "settings/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// In-memory store of DWORDs; records every call and can fail one write.
class FakeRegistry : public SettingsRegistry {
public:
    std::map<std::wstring, std::uint32_t> values;
    std::vector<std::wstring> calls;
    std::wstring failWrite;

    bool ReadDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                   std::uint32_t& target) override {
        Record(root, keyPath, L"read " + name);
        if (!values.count(name))
            return false;
        target = values[name];
        return true;
    }
    bool WriteDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                    std::uint32_t v) override {
        Record(root, keyPath, L"dword " + name);
        values[name] = v;
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
    const std::map<std::wstring, std::uint32_t> full = {
        {L"HotKey", 0x141},         {L"Modifiers", 0x4009}, {L"TuningLeft", 0xFFFFFFFB},
        {L"TuningTop", 0x80000000}, {L"TuningRight", 1},    {L"TuningBottom", 0xFFFFFFFF}};
    for (bool complete : {true, false}) {
        FakeRegistry reg;
        reg.values = full;
        if (!complete)
            reg.values.erase(L"HotKey"); // the first read fails; the others still happen
        Settings s;
        s.HotKey = 77;
        EXPECT_EQ(s.Load(reg), complete);
        EXPECT_EQ(reg.calls, (std::vector<std::wstring>{
                                 L"read HotKey", L"read Modifiers", L"read TuningLeft",
                                 L"read TuningTop", L"read TuningRight", L"read TuningBottom"}));
        EXPECT_EQ(s.HotKey, complete ? 0x141u : 77u);
        EXPECT_EQ(s.Modifiers, 0x4009u);
        EXPECT_EQ(s.TuningLeft, -5);
        EXPECT_EQ(s.TuningTop, INT32_MIN);
        EXPECT_EQ(s.TuningRight, 1);
        EXPECT_EQ(s.TuningBottom, -1);
    }
}

TEST(SettingsSave, WritesVersionThenFieldsAsTwosComplementAndReportsAnyFailure) {
    for (const wchar_t* failing : {L"", L"Version", L"TuningTop"}) {
        FakeRegistry reg;
        reg.failWrite = failing;
        Settings s;
        s.HotKey = 0x7A;
        s.TuningLeft = -5;
        s.TuningRight = 3;
        EXPECT_EQ(s.Save(reg), *failing == L'\0');
        EXPECT_EQ(reg.calls, (std::vector<std::wstring>{L"string Version=1.2", L"dword HotKey",
                                                        L"dword Modifiers", L"dword TuningLeft",
                                                        L"dword TuningTop", L"dword TuningRight",
                                                        L"dword TuningBottom"}));
        EXPECT_EQ(reg.values, (std::map<std::wstring, std::uint32_t>{{L"HotKey", 0x7A},
                                                                     {L"Modifiers", 0},
                                                                     {L"TuningLeft", 0xFFFFFFFB},
                                                                     {L"TuningTop", 0},
                                                                     {L"TuningRight", 3},
                                                                     {L"TuningBottom", 0}}));
    }
}

} // namespace
