// The program's resources, linked into this executable: what windres or a translation can
// silently get wrong.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"

namespace {

constexpr LANGID kEnglish = 0x0409, kChinese = 0x0804;
constexpr WORD kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtGroupIcon = 14, kRtManifest = 24;

// One resource of this executable, read in stored order; past its end (or none) ok() is false.
struct Reader {
    BYTE* data = nullptr;
    size_t size = 0, pos = 0;

    Reader(WORD type, WORD id, LANGID lang = kEnglish) {
        const auto name = [](WORD n) { return reinterpret_cast<LPCWSTR>(ULONG_PTR{n}); };
        HRSRC info = ::FindResourceExW(nullptr, name(type), name(id), lang);
        data = static_cast<BYTE*>(::LockResource(::LoadResource(nullptr, info)));
        size = ::SizeofResource(nullptr, info);
    }
    bool ok() const { return data != nullptr && pos <= size; }
    template <class T> T Get() {
        T v{};
        if (data != nullptr && pos + sizeof v <= size)
            std::memcpy(&v, data + pos, sizeof v);
        pos += sizeof v;
        return v;
    }
    std::wstring Text() {
        std::wstring s;
        for (WORD c = Get<WORD>(); c != 0 && ok(); c = Get<WORD>()) {
            if (c == 0xFFFF && s.empty())
                return L"#" + std::to_wstring(Get<WORD>());
            s += static_cast<wchar_t>(c);
        }
        return s;
    }
};

// A DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items, each aligned to 4 bytes.
struct Item {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring cls, text; // a number in place of a text (0xFFFF, number) reads "#number"
    WORD extra;
    auto Shape() const { return std::make_tuple(helpId, exStyle, style, id, cls, extra); }
};

struct Dialog {
    std::vector<DWORD> head; // version, signature, help id, ex-style, style, count, x, y, cx, cy
    std::vector<Item> items;
    bool ok = false;
};

Dialog Parse(WORD id, LANGID lang) {
    Reader r(kRtDialog, id, lang);
    Dialog d;
    d.head = {r.Get<WORD>(), r.Get<WORD>(), r.Get<DWORD>(), r.Get<DWORD>(), r.Get<DWORD>(),
              r.Get<WORD>(), r.Get<WORD>(), r.Get<WORD>(),  r.Get<WORD>(),  r.Get<WORD>()};
    r.Text(), r.Text(), r.Text(); // menu, class, caption
    r.pos += 6, r.Text();         // font size, weight, italic, charset, face
    while (r.ok() && d.items.size() < d.head[5]) {
        r.pos = (r.pos + 3) / 4 * 4;
        d.items.push_back(Item{r.Get<DWORD>(), r.Get<DWORD>(), r.Get<DWORD>(), r.Get<short>(),
                               r.Get<short>(), r.Get<short>(), r.Get<short>(), r.Get<DWORD>(),
                               r.Text(), r.Text(), r.Get<WORD>()});
        r.pos += d.items.back().extra;
    }
    d.ok = r.ok() && d.items.size() == d.head[5];
    return d;
}

// Dialog, its version, signature, help id and style words as compiled, and the controls whose
// rectangle the translation may move.
const std::vector<std::tuple<WORD, std::vector<DWORD>, std::set<size_t>>> kDialogs = {
    {IDD_MAIN, {1, 0xFFFF, 0, WS_EX_APPWINDOW, 0x00CA0048}, {2, 4, 7, 9, 18}},
    {IDD_ABOUT, {1, 0xFFFF, 0, 0, 0x80C800C8}, {}}};

// Styles as compiled; a translation changes texts and listed rectangles only; links agree.
TEST(ResourceDialogs, CompiledStylesAndTheTranslationChangesOnlyTexts) {
    // Button, edit, static and link classes (windres upper-cases names); some kinds marked.
    const std::map<std::wstring, DWORD> kinds = {
        {L"#128", 0x50010000}, {L"#128 group box", 0x50000007}, {L"#129", 0x50810080},
        {L"#130", 0x50020000}, {L"#130 icon", 0x50000003},      {L"SYSLINK", 0x50010000}};
    const std::wregex kLink(L"[^<]*<a>([^<]*)</a>[^<]*");
    std::vector<std::wstring> addresses;
    for (const auto& [id, header, moved] : kDialogs) {
        const Dialog en = Parse(id, kEnglish), zh = Parse(id, kChinese);
        ASSERT_TRUE(en.ok && zh.ok) << id;
        EXPECT_EQ(header, std::vector<DWORD>(en.head.begin(), en.head.begin() + 5));
        EXPECT_EQ(en.head, zh.head) << id;
        for (size_t i = 0; i < std::min(en.items.size(), zh.items.size()); ++i) {
            const Item &a = en.items[i], &b = zh.items[i];
            const bool icon = a.text[0] == L'#', box = a.cls == L"#128" && a.id == 0xFFFF;
            const std::wstring kind = a.cls + (icon ? L" icon" : box ? L" group box" : L"");
            SCOPED_TRACE(testing::Message() << id << " control #" << i + 1 << " " << kind);
            EXPECT_EQ(kinds.count(kind) ? kinds.at(kind) : 0, a.style) << std::hex << a.style;
            EXPECT_TRUE(a.exStyle == 0 && a.cx > 0 && a.cy > 0 && a.id != 0xFFFFFFFF)
                << "windres's ICON drops the size, and its (-1) is 0xFFFFFFFF, not 0xFFFF";
            EXPECT_EQ(a.Shape(), b.Shape());
            EXPECT_EQ(a.text.empty(), b.text.empty()) << "translated, or empty in both";
            EXPECT_TRUE(a.text == b.text || (a.text[0] != L'#' && b.text[0] != L'#'));
            EXPECT_TRUE(moved.count(i + 1) ||
                        std::tie(a.x, a.y, a.cx, a.cy) == std::tie(b.x, b.y, b.cx, b.cy));
            for (const std::wstring& t : {a.text, b.text})
                if (a.id == IDC_LINK)
                    addresses.push_back(std::regex_replace(t, kLink, L"$1"));
        }
    }
    EXPECT_EQ(std::vector<std::wstring>(4, L"https://www.corvane-studio.example"), addresses);
}

TEST(ResourceTrayMenu, OnePopupWithTheCommandsInOrderBetweenSeparators) {
    const std::vector<int> expected = {1, ID_TRAY_OPTION, 0, ID_TRAY_ABOUT, 0, ID_TRAY_WEBSITE,
                                       0, ID_TRAY_QUIT}; // popups, then ids; a separator reads 0
    for (LANGID lang : {kEnglish, kChinese}) {
        HMENU menu = ::LoadMenuIndirectW(Reader(kRtMenu, IDR_TRAYMENU, lang).data),
              popup = ::GetSubMenu(menu, 0);
        std::vector<int> got = {::GetMenuItemCount(menu)};
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
            got.push_back(static_cast<int>(::GetMenuItemID(popup, i)));
        EXPECT_EQ(expected, got) << lang;
        ::DestroyMenu(menu);
    }
}

// The tray shows the application's 16-pixel image, 32 bits with alpha.
TEST(ResourceIcons, TrayImageIsTheApplicationsSmallOneWithAlpha) {
    const auto small = [](WORD group) {
        const Reader dir(kRtGroupIcon, group);
        const int id = dir.ok() ? ::LookupIconIdFromDirectoryEx(dir.data, TRUE, 16, 16, 0) : 0;
        return Reader(kRtIcon, static_cast<WORD>(id));
    };
    Reader a = small(IDI_APP), b = small(IDI_TRAY);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_TRUE(std::equal(a.data, a.data + a.size, b.data, b.data + b.size));
    const auto header = b.Get<BITMAPINFOHEADER>();
    EXPECT_EQ(std::make_tuple(16L, 32L, WORD{32}, DWORD{BI_RGB}),
              std::tie(header.biWidth, header.biHeight, header.biBitCount, header.biCompression));
    std::set<BYTE> alphas;
    for (size_t p = b.pos + 3; p < b.pos + 16 * 16 * 4 && p < b.size; p += 4)
        alphas.insert(b.data[p]);
    EXPECT_TRUE(alphas.count(0) && alphas.count(255)) << alphas.size() << " alpha values";
}

// The manifest took effect when comctl32 came from the side-by-side store.
TEST(ResourceManifest, NamesThisBuildsArchitectureAndTakesEffect) {
    const Reader raw(kRtManifest, 1); // none reads as empty
    const std::string xml(reinterpret_cast<const char*>(raw.data), raw.size),
        key = "processorArchitecture=", arch = sizeof(void*) == 8 ? "\"amd64\"" : "\"x86\"";
    EXPECT_NE(std::string::npos, xml.find(key + arch));
    EXPECT_EQ(xml.find(key), xml.rfind(key)) << "one architecture";
    ::InitCommonControls();
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
    ::CharLowerW(path);
    EXPECT_NE(std::wstring::npos, std::wstring(path).find(L"\\winsxs\\"))
        << testing::PrintToString(path);
}

} // namespace
