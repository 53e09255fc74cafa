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

// Per control of the dialog made from the template in `lang`: class, id, style and ex-style.
std::vector<std::wstring> Controls(WORD id, LANGID lang) {
    std::vector<std::wstring> out;
    HWND dlg = ::CreateDialogIndirectParamW(nullptr,
                                            static_cast<LPCDLGTEMPLATEW>(Find(RT_DIALOG, id, lang)),
                                            nullptr, &NoDialogHandling, 0);
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

// A translation changes texts and places only.
TEST(Resources, BothLanguagesHaveTheSameControls) {
    ::InitCommonControls();
    for (WORD id : {IDD_MAIN, IDD_ABOUT}) {
        const std::vector<std::wstring> en = Controls(id, kEnglish);
        EXPECT_GT(en.size(), 3u) << "dialog " << id;
        EXPECT_EQ(Controls(id, kChinese), en) << "dialog " << id;
    }
}

const std::wstring kEnglishWarning = L"Failed to register hot key. Perhaps it is used by other "
                                     L"applications. Please use another key.";
const std::wstring kChineseWarning = L"注册热键失败，可能该热键被其他程序占用。请换一个键。";

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
        // The warning as compiled from the UTF-8 source, whole: blocks of 16 counted strings.
        auto* text = static_cast<const WORD*>(Find(RT_STRING, IDS_HOTKEY_FAILED / 16 + 1, lang));
        for (int skip = IDS_HOTKEY_FAILED % 16; text && skip > 0; --skip)
            text += 1 + *text;
        ASSERT_NE(text, nullptr) << "language " << lang;
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text + 1), *text),
                  lang == kChinese ? kChineseWarning : kEnglishWarning);
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
