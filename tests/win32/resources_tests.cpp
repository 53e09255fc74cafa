// The program's resources as linked into this executable: what windres or a translation can
// silently get wrong.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"

namespace {

constexpr LANGID kEnglish = 0x0409, kChinese = 0x0804;

// The data of one of this executable's resources; nullptr when it has none.
const void* Find(LPCWSTR type, WORD id, LANGID lang = kEnglish, DWORD* size = nullptr) {
    HRSRC info = ::FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), lang);
    if (size)
        *size = ::SizeofResource(nullptr, info);
    return info ? ::LockResource(::LoadResource(nullptr, info)) : nullptr;
}

INT_PTR CALLBACK NoDialogHandling(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

constexpr LONG kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                        WS_THICKFRAME | DS_MODALFRAME;

// The frame of the dialog made from the template in `lang`, then per control: class, id, style
// and ex-style.
std::vector<std::wstring> Controls(WORD id, LANGID lang) {
    HWND dlg = ::CreateDialogIndirectParamW(nullptr,
                                            static_cast<LPCDLGTEMPLATEW>(Find(RT_DIALOG, id, lang)),
                                            nullptr, &NoDialogHandling, 0);
    std::vector<std::wstring> out = {std::to_wstring(::GetWindowLongW(dlg, GWL_STYLE) & kFrame)};
    for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        ::GetClassNameW(c, cls, 64);
        out.push_back(cls + (L" " + std::to_wstring(::GetDlgCtrlID(c))) + L" " +
                      std::to_wstring(::GetWindowLongW(c, GWL_STYLE)) + L" " +
                      std::to_wstring(::GetWindowLongW(c, GWL_EXSTYLE)));
    }
    ::DestroyWindow(dlg);
    return out;
}

// A translation changes texts and places only. The options dialog can be minimized, not sized.
TEST(Resources, BothLanguagesHaveTheSameFramesAndControls) {
    ::InitCommonControls();
    for (WORD id : {IDD_MAIN, IDD_ABOUT}) {
        const std::vector<std::wstring> en = Controls(id, kEnglish);
        EXPECT_GT(en.size(), 3u) << "dialog " << id;
        EXPECT_EQ(Controls(id, kChinese), en) << "dialog " << id;
    }
    EXPECT_EQ(Controls(IDD_MAIN, kEnglish)[0],
              std::to_wstring(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
}

// Both messages per language, as written in the sources.
const std::tuple<UINT, LANGID, std::wstring> kMessages[] = {
    {IDS_HOTKEY_FAILED, kEnglish,
     L"Failed to register hot key. Perhaps it is used by other applications. Please use another "
     L"key."},
    {IDS_HOTKEY_FAILED, kChinese, L"注册热键失败，可能该热键被其他程序占用。请换一个键。"},
    {IDS_SAVE_FAILED, kEnglish,
     L"The settings could not be saved. They apply until the program ends."},
    {IDS_SAVE_FAILED, kChinese, L"无法保存设置。这些设置在程序退出前有效。"},
};

TEST(Resources, BothLanguagesHaveTheTrayMenuInOrderAndEveryString) {
    const std::vector<UINT> menuIds = {1, ID_TRAY_OPTION, 0, ID_TRAY_ABOUT, 0, ID_TRAY_WEBSITE,
                                       0, ID_TRAY_QUIT}; // popups, then ids; separators read 0
    for (LANGID lang : {kEnglish, kChinese}) {
        HMENU menu = ::LoadMenuIndirectW(Find(RT_MENU, IDR_TRAYMENU, lang)),
              popup = ::GetSubMenu(menu, 0);
        std::vector<UINT> got = {static_cast<UINT>(::GetMenuItemCount(menu))};
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
            got.push_back(::GetMenuItemID(popup, i));
        EXPECT_EQ(got, menuIds) << "language " << lang;
        ::DestroyMenu(menu);
    }
    // The messages as compiled from the UTF-8 sources, whole: blocks of 16 counted strings.
    for (const auto& [id, lang, expected] : kMessages) {
        auto* text = static_cast<const WORD*>(Find(RT_STRING, id / 16 + 1, lang));
        for (UINT skip = id % 16; text && skip > 0; --skip)
            text += 1 + *text;
        ASSERT_NE(text, nullptr) << "string " << id << ", language " << lang;
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text + 1), *text), expected);
    }
}

TEST(Resources, TheTrayIconGroupHoldsOneSixteenPixelImage) {
    const auto* group = static_cast<const BYTE*>(Find(RT_GROUP_ICON, IDI_TRAY));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(std::make_tuple(int{group[4]}, int{group[6]}, int{group[7]}),
              std::make_tuple(1, 16, 16))
        << "images, then the first one's width and height";
}

// A 64-bit program whose manifest asks for the x86 common controls does not start.
TEST(Resources, TheManifestNamesThisBuildsArchitectureOnce) {
    DWORD size = 0;
    const void* data = Find(RT_MANIFEST, 1, kEnglish, &size);
    const std::string xml(data ? static_cast<const char*>(data) : "", data ? size : 0),
        key = "processorArchitecture=", arch = sizeof(void*) == 8 ? "\"amd64\"" : "\"x86\"";
    EXPECT_NE(xml.find(key + arch), std::string::npos);
    EXPECT_EQ(xml.find(key), xml.rfind(key)) << "one architecture";
}

} // namespace
