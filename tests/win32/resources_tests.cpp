// Reads the program's resources back from this executable, which links the same resource
// object as the program, and checks what windres or a translation can silently get wrong.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "res/resource.h"

namespace {

constexpr LANGID kEnglish = 0x0409, kChinese = 0x0804;
constexpr LANGID kLanguages[] = {kEnglish, kChinese};
constexpr WORD kRtIcon = 3, kRtMenu = 4, kRtDialog = 5, kRtString = 6, kRtGroupIcon = 14,
               kRtVersion = 16, kRtManifest = 24;

LPCWSTR ResId(WORD id) {
    return reinterpret_cast<LPCWSTR>(ULONG_PTR{id});
}

// Fields of one resource in stored order, with bounds checks: a read past the end clears ok.
struct Reader {
    const BYTE* data = nullptr;
    size_t size = 0, pos = 0;
    bool ok = data != nullptr;

    template <class T> T Get() {
        T v{};
        ok = ok && size - pos >= sizeof v;
        if (ok)
            std::memcpy(&v, data + pos, sizeof v);
        pos += ok ? sizeof v : 0;
        return v;
    }
    // A zero-terminated text, or a number in its place (0xFFFF, then the number) as "#number".
    std::wstring Text() {
        std::wstring s;
        if (ok && size - pos >= 2 && data[pos] == 0xFF && data[pos + 1] == 0xFF)
            return Get<WORD>(), L"#" + std::to_wstring(Get<WORD>());
        for (WORD c = Get<WORD>(); ok && c != 0; c = Get<WORD>())
            s += static_cast<wchar_t>(c);
        return s;
    }
    void Seek(size_t to) {
        ok = ok && to <= size;
        pos = ok ? to : pos;
    }
    void Align4() { Seek((pos + 3) / 4 * 4); }
};

// The exact copy of one resource, or nothing when it does not exist in that language.
Reader Find(WORD type, WORD id, LANGID lang) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceExW(module, ResId(type), ResId(id), lang);
    if (info == nullptr)
        return {};
    return {static_cast<const BYTE*>(::LockResource(::LoadResource(module, info))),
            ::SizeofResource(module, info)};
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR out) {
    reinterpret_cast<std::vector<LANGID>*>(out)->push_back(lang);
    return TRUE;
}

TEST(ResourceInventory, EachResourceExistsInExactlyItsLanguages) {
    const std::vector<std::tuple<WORD, WORD, std::vector<LANGID>>> rows = {
        {kRtDialog, IDD_MAIN, {kEnglish, kChinese}},   {kRtDialog, IDD_ABOUT, {kEnglish, kChinese}},
        {kRtMenu, IDR_TRAYMENU, {kEnglish, kChinese}}, {kRtString, 626, {kEnglish, kChinese}},
        {kRtVersion, 1, {kEnglish, kChinese}},         {kRtGroupIcon, IDI_APP, {kEnglish}},
        {kRtGroupIcon, IDI_TRAY, {kEnglish}},          {kRtManifest, 1, {kEnglish}}};
    for (const auto& [type, id, languages] : rows) {
        std::vector<LANGID> found;
        ::EnumResourceLanguagesW(nullptr, ResId(type), ResId(id), &CollectLanguage,
                                 reinterpret_cast<LONG_PTR>(&found));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(languages, found) << "type " << type << " id " << id;
    }
}

// Dialog templates: DLGTEMPLATEEX, then DLGITEMTEMPLATEEX items aligned to 4 bytes.

struct Item {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring cls, text; // a resource number reads "#number"
    WORD extra;
    auto Shape() const { return std::make_tuple(helpId, exStyle, style, id, cls, extra); }
    auto Rect() const { return std::make_tuple(x, y, cx, cy); }
};

struct DialogRow {
    WORD id;
    DWORD style, exStyle;
    short cx, cy;
    std::set<size_t> ownChineseRect; // control numbers whose rectangle the translation may move
};

const std::vector<DialogRow> kDialogs = {
    {IDD_MAIN, 0x00CA0048, WS_EX_APPWINDOW, 240, 160, {2, 4, 7, 9, 18}},
    {IDD_ABOUT, 0x80C800C8, 0, 188, 100, {}}};

struct Dialog {
    const DialogRow& row;
    std::string where;
    Reader raw;
    std::tuple<WORD, WORD, DWORD, DWORD, DWORD, WORD, short, short, short, short> head{};
    std::tuple<WORD, WORD, BYTE, BYTE, std::wstring> font{}; // size, weight, italic, charset, face
    std::vector<Item> items{};
    bool ok = false;
};

// Braced initialisers are evaluated left to right: the fields in stored order.
Dialog ParseDialog(const DialogRow& row, LANGID lang) {
    Dialog d{row, "dialog " + std::to_string(row.id) + " lang " + std::to_string(lang),
             Find(kRtDialog, row.id, lang)};
    Reader r = d.raw;
    d.head = {r.Get<WORD>(), r.Get<WORD>(),  r.Get<DWORD>(), r.Get<DWORD>(), r.Get<DWORD>(),
              r.Get<WORD>(), r.Get<short>(), r.Get<short>(), r.Get<short>(), r.Get<short>()};
    r.Text(), r.Text(), r.Text(); // menu, class, caption
    d.font = {r.Get<WORD>(), r.Get<WORD>(), r.Get<BYTE>(), r.Get<BYTE>(), r.Text()};
    while (r.ok && d.items.size() < std::get<5>(d.head)) {
        r.Align4();
        d.items.push_back(Item{r.Get<DWORD>(), r.Get<DWORD>(), r.Get<DWORD>(), r.Get<short>(),
                               r.Get<short>(), r.Get<short>(), r.Get<short>(), r.Get<DWORD>(),
                               r.Text(), r.Text(), r.Get<WORD>()});
        r.Seek(r.pos + d.items.back().extra);
    }
    d.ok = r.ok;
    return d;
}

std::vector<Dialog> AllDialogs() {
    std::vector<Dialog> all;
    for (const DialogRow& row : kDialogs)
        for (LANGID lang : kLanguages)
            all.push_back(ParseDialog(row, lang));
    return all;
}

// windres adds and drops style bits on its own: the words as compiled, dialogs and controls.
TEST(ResourceDialogs, HeadersAndEachControlKindHaveTheirCompiledStyle) {
    const std::map<std::string, DWORD> kinds = {
        {"group box", 0x50000007},   {"label", 0x50020000}, {"icon", 0x50000003},
        {"push button", 0x50010000}, {"edit", 0x50810080},  {"link", 0x50010000}};
    std::set<std::string> seen;
    for (const Dialog& d : AllDialogs()) {
        SCOPED_TRACE(d.where);
        ASSERT_TRUE(d.ok);
        const auto& [version, signature, helpId, exStyle, style, count, x, y, cx, cy] = d.head;
        EXPECT_EQ(std::make_tuple(1, 0xFFFF, d.row.cx, d.row.cy),
                  std::tie(version, signature, cx, cy));
        EXPECT_EQ(d.row.style, style) << std::hex << style;
        EXPECT_EQ(d.row.exStyle, exStyle) << std::hex << exStyle;
        EXPECT_EQ(std::make_tuple(8, 0, 0, 0, std::wstring(L"MS Shell Dlg")), d.font);
        for (size_t i = 0; i < d.items.size(); ++i) {
            const Item& it = d.items[i];
            bool unnumbered = it.id == 0xFFFF || it.id == 0xFFFFFFFF;
            std::string kind = it.cls == L"#128"   ? (unnumbered ? "group box" : "push button")
                               : it.cls == L"#129" ? "edit"
                               : it.cls == L"#130" ? (it.text[0] == L'#' ? "icon" : "label")
                               : ::lstrcmpiW(it.cls.c_str(), WC_LINK) == 0 ? "link"
                                                                           : "unknown";
            SCOPED_TRACE(testing::Message() << "control #" << i + 1 << " " << kind);
            ASSERT_EQ(1u, kinds.count(kind));
            seen.insert(kind);
            EXPECT_EQ(kinds.at(kind), it.style) << std::hex << it.style;
            EXPECT_EQ(0u, it.exStyle);
            EXPECT_TRUE(it.cx > 0 && it.cy > 0) << "windres's ICON statement drops the size";
            EXPECT_NE(0xFFFFFFFFu, it.id) << "windres makes this of (-1); 0xFFFF is meant";
        }
    }
    EXPECT_EQ(kinds.size(), seen.size());
}

// The translation may change texts and the listed rectangles, nothing else.
TEST(ResourceDialogs, ChineseTemplateDiffersOnlyInTextsAndListedRectangles) {
    for (const DialogRow& row : kDialogs) {
        Dialog en = ParseDialog(row, kEnglish), zh = ParseDialog(row, kChinese);
        ASSERT_TRUE(en.ok && zh.ok);
        ASSERT_EQ(en.head, zh.head);
        for (size_t i = 0; i < en.items.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "dialog " << row.id << " control #" << i + 1);
            const Item &a = en.items[i], &b = zh.items[i];
            EXPECT_EQ(a.Shape(), b.Shape());
            EXPECT_EQ(a.text.empty(), b.text.empty()) << "translated, or empty in both";
            EXPECT_TRUE(a.text == b.text || (a.text[0] != L'#' && b.text[0] != L'#'))
                << "a resource number is no text";
            EXPECT_TRUE(row.ownChineseRect.count(i + 1) || a.Rect() == b.Rect())
                << "moved from " << a.x << "," << a.y << " " << a.cx << "x" << a.cy;
        }
    }
}

TEST(ResourceDialogs, EveryLinkShowsTheWebSiteAddressWithoutAttributes) {
    int links = 0;
    for (const Dialog& d : AllDialogs()) {
        for (const Item& it : d.items) {
            if (it.id != IDC_LINK)
                continue;
            SCOPED_TRACE(d.where);
            ++links;
            size_t open = it.text.find(L"<a>"), close = it.text.find(L"</a>");
            ASSERT_TRUE(open != std::wstring::npos && close != std::wstring::npos);
            EXPECT_EQ(L"https://www.corvane-studio.example",
                      it.text.substr(open + 3, close - open - 3));
            EXPECT_EQ(open, it.text.rfind(L"<a")) << "one link, no attributes";
        }
    }
    EXPECT_EQ(4, links);
}

// Builds each template as the platform does: every control, the link included, must exist.
TEST(ResourceDialogs, PlatformCreatesEveryControl) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LINK_CLASS};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    for (const Dialog& d : AllDialogs()) {
        SCOPED_TRACE(d.where);
        HWND dlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                reinterpret_cast<LPCDLGTEMPLATEW>(d.raw.data),
                                                nullptr, nullptr, 0);
        ASSERT_NE(nullptr, dlg);
        size_t controls = 0;
        for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            ++controls;
        EXPECT_EQ(d.items.size(), controls);
        wchar_t cls[64] = {};
        ::GetClassNameW(::GetDlgItem(dlg, IDC_LINK), cls, 64);
        EXPECT_EQ(0, ::lstrcmpiW(WC_LINK, cls));
        ::DestroyWindow(dlg);
    }
}

TEST(ResourceTrayMenu, OnePopupWithTheCommandsInOrderBetweenSeparators) {
    constexpr int kLine = -1;
    const std::vector<int> expected = {ID_TRAY_OPTION,  kLine, ID_TRAY_ABOUT, kLine,
                                       ID_TRAY_WEBSITE, kLine, ID_TRAY_QUIT};
    for (LANGID lang : kLanguages) {
        HMENU menu = ::LoadMenuIndirectW(Find(kRtMenu, IDR_TRAYMENU, lang).data);
        ASSERT_NE(nullptr, menu) << lang;
        EXPECT_EQ(1, ::GetMenuItemCount(menu)) << lang;
        HMENU popup = ::GetSubMenu(menu, 0);
        std::vector<int> got;
        for (UINT i = 0; i < static_cast<UINT>(::GetMenuItemCount(popup)); ++i)
            got.push_back(::GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR
                              ? kLine
                              : static_cast<int>(::GetMenuItemID(popup, static_cast<int>(i))));
        EXPECT_EQ(expected, got) << lang;
        ::DestroyMenu(menu);
    }
}

TEST(ResourceStrings, Block626HoldsTheTwoTextsInBothLanguages) {
    for (LANGID lang : kLanguages) {
        Reader r = Find(kRtString, 626, lang);
        std::set<UINT> present;
        for (UINT id = 10000; id < 10016; ++id) {
            WORD length = r.Get<WORD>();
            r.Seek(r.pos + length * 2u);
            if (length > 0)
                present.insert(id);
        }
        EXPECT_TRUE(r.ok && r.pos == r.size) << lang;
        EXPECT_EQ((std::set<UINT>{IDS_TRAY_TIP, IDS_HOTKEY_FAILED}), present) << lang;
    }
}

// One node: length, value length, type, key, padding, value, padding, children. Lists the
// keys in order, indented by depth, and their values.
void ReadVersionNode(Reader& r, std::wstring indent, std::vector<std::wstring>& keys,
                     std::vector<Reader>& values) {
    size_t start = r.pos;
    WORD length = r.Get<WORD>(), valueLength = r.Get<WORD>(), type = r.Get<WORD>();
    r.ok = r.ok && length >= 6;
    keys.push_back(indent + r.Text());
    r.Align4();
    values.push_back({r.data + r.pos, type == 1 ? valueLength * 2u : valueLength});
    r.Seek(r.pos + values.back().size);
    r.Align4();
    while (r.ok && r.pos < start + length)
        ReadVersionNode(r, indent + L" ", keys, values);
    r.Seek(start + length);
    r.Align4();
}

// Each language's table and translation name that language, the keys in the same order.
TEST(ResourceVersion, EachLanguageListsItsKeysInOrderAndTranslatesToItself) {
    for (LANGID lang : kLanguages) {
        SCOPED_TRACE(testing::Message() << "lang " << lang);
        wchar_t table[9] = {};
        std::swprintf(table, 9, L"%04x04b0", unsigned{lang});
        const std::vector<std::wstring> expected = {
            L"VS_VERSION_INFO",    L" StringFileInfo",     L"  " + std::wstring(table),
            L"   FileDescription", L"   FileVersion",      L"   InternalName",
            L"   LegalCopyright",  L"   OriginalFilename", L"   ProductName",
            L"   ProductVersion",  L" VarFileInfo",        L"  Translation"};
        Reader r = Find(kRtVersion, 1, lang);
        std::vector<std::wstring> keys;
        std::vector<Reader> values;
        ReadVersionNode(r, L"", keys, values);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(expected, keys);
        EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), values.front().size);
        EXPECT_EQ(4u, values.back().size);
        EXPECT_EQ(lang | 1200u << 16, values.back().Get<DWORD>()) << "lang, UTF-16";
    }
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::vector<GroupEntry> ParseGroup(WORD group) {
    Reader r = Find(kRtGroupIcon, group, kEnglish);
    r.Seek(4); // reserved, type
    std::vector<GroupEntry> entries(r.Get<WORD>());
    for (GroupEntry& e : entries)
        e = r.Get<GroupEntry>();
    return r.ok && r.pos == r.size ? entries : std::vector<GroupEntry>{};
}

// Every image 32 bits with alpha; the tray shows the application's 16-pixel image.
TEST(ResourceIcons, ImagesHaveAlphaAndTheTrayReusesTheSmallOne) {
    std::vector<GroupEntry> app = ParseGroup(IDI_APP), tray = ParseGroup(IDI_TRAY), all = app;
    ASSERT_TRUE(!app.empty() && tray.size() == 1);
    all.push_back(tray[0]);
    for (const GroupEntry& e : all) {
        SCOPED_TRACE(testing::Message() << "image " << e.id << " size " << int{e.width});
        Reader r = Find(kRtIcon, e.id, kEnglish);
        const auto header = r.Get<BITMAPINFOHEADER>();
        const size_t pixels = size_t{e.width} * e.width;
        ASSERT_EQ(e.bytes, r.size);
        ASSERT_GE(r.size, r.pos + pixels * 4);
        EXPECT_EQ(std::make_tuple(32, 40, e.width, 2 * e.width, 32, 0),
                  std::make_tuple(e.bitCount, header.biSize, header.biWidth, header.biHeight,
                                  header.biBitCount, header.biCompression));
        size_t clear = 0, solid = 0;
        for (size_t p = 0; p < pixels; ++p) {
            clear += r.data[r.pos + p * 4 + 3] == 0;
            solid += r.data[r.pos + p * 4 + 3] == 255;
        }
        EXPECT_TRUE(clear > 0 && solid > 0) << clear << " clear, " << solid << " solid";
    }
    auto small =
        std::find_if(app.begin(), app.end(), [](const GroupEntry& e) { return e.width == 16; });
    ASSERT_NE(app.end(), small);
    Reader a = Find(kRtIcon, small->id, kEnglish), b = Find(kRtIcon, tray[0].id, kEnglish);
    EXPECT_TRUE(a.ok && b.ok && std::equal(a.data, a.data + a.size, b.data, b.data + b.size));
}

// A 64-bit program asking for the x86 common controls does not start on Windows, and under
// Wine gets the old ones: the manifest took effect when comctl32 came from the side-by-side store.
TEST(ResourceManifest, NamesThisBuildsArchitectureAndTakesEffect) {
    const std::string key = "processorArchitecture=",
                      arch = key + (sizeof(void*) == 8 ? "\"amd64\"" : "\"x86\"");
    Reader raw = Find(kRtManifest, 1, kEnglish);
    std::string xml(reinterpret_cast<const char*>(raw.data), raw.data ? raw.size : 0);
    size_t at = xml.find(key);
    EXPECT_EQ(arch, xml.substr(at == std::string::npos ? 0 : at, arch.size()));
    EXPECT_EQ(at, xml.rfind(key)) << "one architecture";

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LINK_CLASS};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(comctl && ::GetModuleFileNameW(comctl, path, MAX_PATH) > 0);
    ::CharLowerW(path);
    EXPECT_NE(nullptr, std::wcsstr(path, L"\\winsxs\\")) << testing::PrintToString(path);
}

} // namespace
