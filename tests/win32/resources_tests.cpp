// Reads the program's resources back from this executable, which links the same resource
// object as the program, and compares them field by field with the layouts written out below.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"

namespace {

constexpr LANGID kEnglish = 0x0409;
constexpr LANGID kChinese = 0x0804;

constexpr WORD kRtIcon = 3;
constexpr WORD kRtMenu = 4;
constexpr WORD kRtDialog = 5;
constexpr WORD kRtString = 6;
constexpr WORD kRtGroupIcon = 14;
constexpr WORD kRtVersion = 16;
constexpr WORD kRtManifest = 24;

constexpr DWORD kNoId = 0xFFFF;
constexpr WORD kButton = 0x0080;
constexpr WORD kEdit = 0x0081;
constexpr WORD kStatic = 0x0082;
constexpr WORD kNamed = 0;

constexpr DWORD kGroupBox = 0x50000007;
constexpr DWORD kLabel = 0x50020000;
constexpr DWORD kEditBox = 0x50810080;
constexpr DWORD kPushButton = 0x50010000;
constexpr DWORD kLink = 0x50010000;
constexpr DWORD kIcon = 0x50000003;

constexpr wchar_t kWebSiteUrl[] = L"https://www.corvane-studio.example";

LPCWSTR ResId(WORD id) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(id));
}

bool IsResId(LPCWSTR p) {
    return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0;
}

WORD IdOf(LPCWSTR p) {
    return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(p));
}

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

struct Raw {
    const BYTE* data = nullptr;
    size_t size = 0;
};

// The exact copy of one resource, or nothing when it does not exist in that language.
Raw Find(WORD type, WORD id, LANGID lang) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceExW(module, ResId(type), ResId(id), lang);
    if (info == nullptr)
        return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    return {static_cast<const BYTE*>(::LockResource(loaded)), ::SizeofResource(module, info)};
}

// A number given in place of a name (0xFFFF then the number) or a zero-terminated text.
struct NameOrOrdinal {
    bool ordinal = false;
    WORD id = 0;
    std::wstring text;
};

// Little-endian fields with bounds checks; a read past the end clears ok().
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    explicit Reader(Raw raw) : Reader(raw.data, raw.size) {}

    bool ok() const { return m_ok; }
    size_t Pos() const { return m_pos; }
    size_t Left() const { return m_ok ? m_size - m_pos : 0; }
    const BYTE* Here() const { return m_data + m_pos; }

    BYTE Byte() { return static_cast<BYTE>(Take(1)); }
    WORD Word() { return static_cast<WORD>(Take(2)); }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() { return static_cast<DWORD>(Take(4)); }

    std::wstring Text() {
        std::wstring s;
        for (WORD c = Word(); m_ok && c != 0; c = Word())
            s += static_cast<wchar_t>(c);
        return s;
    }
    NameOrOrdinal Name() {
        NameOrOrdinal n;
        if (m_ok && Left() >= 2 && m_data[m_pos] == 0xFF && m_data[m_pos + 1] == 0xFF) {
            Word();
            n.ordinal = true;
            n.id = Word();
        } else {
            n.text = Text();
        }
        return n;
    }
    void Skip(size_t n) {
        if (n <= Left())
            m_pos += n;
        else
            m_ok = false;
    }
    void Align4() { Skip((4 - m_pos % 4) % 4); }
    void Seek(size_t pos) {
        if (m_ok && pos <= m_size)
            m_pos = pos;
        else
            m_ok = false;
    }

private:
    uint32_t Take(size_t n) {
        if (!m_ok || m_size - m_pos < n) {
            m_ok = false;
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= static_cast<uint32_t>(m_data[m_pos + i]) << (8 * i);
        m_pos += n;
        return v;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

// ---------------------------------------------------------------------------------------------
// Inventory

struct InventoryRow {
    WORD type;
    WORD id;
    std::vector<LANGID> languages;
};

const std::vector<InventoryRow> kInventory = {
    {kRtDialog, 101, {kEnglish, kChinese}},
    {kRtDialog, 102, {kEnglish, kChinese}},
    {kRtMenu, 202, {kEnglish, kChinese}},
    {kRtString, 626, {kEnglish, kChinese}},
    {kRtGroupIcon, 201, {kEnglish}},
    {kRtGroupIcon, 301, {kEnglish}},
    {kRtIcon, 1, {kEnglish}},
    {kRtIcon, 2, {kEnglish}},
    {kRtIcon, 3, {kEnglish}},
    {kRtIcon, 4, {kEnglish}},
    {kRtVersion, 1, {kEnglish, kChinese}},
    {kRtManifest, 1, {kEnglish}},
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR out) {
    reinterpret_cast<std::vector<LANGID>*>(out)->push_back(lang);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR type, LPWSTR name, LONG_PTR out) {
    auto* names = reinterpret_cast<std::vector<std::pair<WORD, WORD>>*>(out);
    names->emplace_back(IdOf(type), IsResId(name) ? IdOf(name) : 0xFFFF);
    return TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR out) {
    if (!IsResId(type)) {
        reinterpret_cast<std::vector<std::pair<WORD, WORD>>*>(out)->emplace_back(0xFFFF, 0xFFFF);
        return TRUE;
    }
    ::EnumResourceNamesW(module, type, &CollectName, out);
    return TRUE;
}

TEST(ResourceInventory, EachResourceExistsInExactlyItsLanguages) {
    for (const InventoryRow& row : kInventory) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " id " << row.id);
        std::vector<LANGID> found;
        ::EnumResourceLanguagesW(::GetModuleHandleW(nullptr), ResId(row.type), ResId(row.id),
                                 &CollectLanguage, reinterpret_cast<LONG_PTR>(&found));
        std::sort(found.begin(), found.end());
        EXPECT_EQ(row.languages, found);
    }
}

TEST(ResourceInventory, NothingElseIsStored) {
    std::vector<std::pair<WORD, WORD>> expected;
    for (const InventoryRow& row : kInventory)
        expected.emplace_back(row.type, row.id);
    std::vector<std::pair<WORD, WORD>> found;
    ::EnumResourceTypesW(::GetModuleHandleW(nullptr), &CollectType,
                         reinterpret_cast<LONG_PTR>(&found));
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(expected, found);
}

// ---------------------------------------------------------------------------------------------
// Dialog templates

struct ItemRow {
    DWORD id;
    WORD classAtom; // kNamed: the class is className
    const wchar_t* className;
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text; // nullptr: the text is the resource number textId
    WORD textId;
};

struct DialogRow {
    WORD dialog;
    LANGID lang;
    DWORD style;
    DWORD exStyle;
    short cx, cy;
    const wchar_t* caption;
    std::vector<ItemRow> items;
};

const std::vector<DialogRow> kDialogs = {
    {101,
     kEnglish,
     0x00CA0048,
     0x00040000,
     240,
     160,
     L"Corvane Tetherly 1.2",
     {
         {kNoId, kButton, nullptr, kGroupBox, 7, 7, 225, 46, L"Hot key", 0},
         {kNoId, kStatic, nullptr, kLabel, 14, 15, 209, 16,
          L"You should set a hot key, by pressing which the mouse will be locked or released.", 0},
         {kNoId, kStatic, nullptr, kLabel, 14, 35, 36, 8, L"Hot key:", 0},
         {1001, kEdit, nullptr, kEditBox, 56, 33, 88, 14, L"", 0},
         {kNoId, kButton, nullptr, kGroupBox, 7, 58, 225, 64, L"Tuning", 0},
         {kNoId, kStatic, nullptr, kLabel, 15, 68, 209, 17,
          L"You can tune the size of the mouse region. A positive intege will enlarge the "
          L"region, a negtive one will retrench the region.",
          0},
         {kNoId, kStatic, nullptr, kLabel, 16, 90, 16, 8, L"Left:", 0},
         {1002, kEdit, nullptr, kEditBox, 40, 88, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 16, 106, 16, 8, L"Top:", 0},
         {1003, kEdit, nullptr, kEditBox, 40, 104, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 120, 90, 22, 8, L"Right:", 0},
         {1004, kEdit, nullptr, kEditBox, 148, 88, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 120, 106, 24, 8, L"Bottom:", 0},
         {1005, kEdit, nullptr, kEditBox, 148, 104, 44, 14, L"", 0},
         {0xE140, kButton, nullptr, kPushButton, 7, 130, 50, 14, L"About...", 0},
         {1, kButton, nullptr, kPushButton, 125, 129, 50, 14, L"OK", 0},
         {2, kButton, nullptr, kPushButton, 182, 129, 50, 14, L"Cancel", 0},
         {1006, kNamed, L"SysLink", kLink, 7, 148, 225, 8,
          L"Powered by Corvane Studio (<a>https://www.corvane-studio.example</a>)", 0},
     }},
    {101,
     kChinese,
     0x00CA0048,
     0x00040000,
     240,
     160,
     L"CorvaneTetherly 1.2",
     {
         {kNoId, kButton, nullptr, kGroupBox, 7, 7, 225, 46, L"热键", 0},
         {kNoId, kStatic, nullptr, kLabel, 14, 16, 209, 16, L"您需要设定一个热键作为锁鼠开关。", 0},
         {kNoId, kStatic, nullptr, kLabel, 14, 35, 36, 8, L"热键:", 0},
         {1001, kEdit, nullptr, kEditBox, 56, 33, 83, 14, L"", 0},
         {kNoId, kButton, nullptr, kGroupBox, 7, 58, 225, 64, L"微调", 0},
         {kNoId, kStatic, nullptr, kLabel, 15, 68, 209, 17,
          L"您可以对鼠标活动范围进行微调。在下面填写正数会扩大范围，负数则会缩小范围。", 0},
         {kNoId, kStatic, nullptr, kLabel, 16, 90, 20, 8, L"左边:", 0},
         {1002, kEdit, nullptr, kEditBox, 40, 88, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 16, 106, 20, 8, L"顶边:", 0},
         {1003, kEdit, nullptr, kEditBox, 40, 104, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 120, 90, 22, 8, L"右边:", 0},
         {1004, kEdit, nullptr, kEditBox, 148, 88, 44, 14, L"", 0},
         {kNoId, kStatic, nullptr, kLabel, 120, 106, 24, 8, L"底边:", 0},
         {1005, kEdit, nullptr, kEditBox, 148, 104, 44, 14, L"", 0},
         {0xE140, kButton, nullptr, kPushButton, 7, 130, 50, 14, L"关于...", 0},
         {1, kButton, nullptr, kPushButton, 125, 129, 50, 14, L"确定", 0},
         {2, kButton, nullptr, kPushButton, 182, 129, 50, 14, L"取消", 0},
         {1006, kNamed, L"SysLink", kLink, 7, 146, 225, 8,
          L"Corvane软件工作室 (<a>https://www.corvane-studio.example</a>)出品", 0},
     }},
    {102,
     kEnglish,
     0x80C800C8,
     0,
     188,
     100,
     L"About Corvane Tetherly",
     {
         {kNoId, kStatic, nullptr, kIcon, 7, 7, 20, 20, nullptr, 201},
         {kNoId, kStatic, nullptr, kLabel, 34, 7, 146, 32,
          L"Corvane Tetherly v1.2\r\n\r\nCopyright (C) 2026 Corvane Studio\r\nAll rights reserved.",
          0},
         {1006, kNamed, L"SysLink", kLink, 34, 48, 146, 25,
          L"Corvane Studio website:\r\n<a>https://www.corvane-studio.example</a>\r\n"
          L"Email: support@corvane-studio.example",
          0},
         {1, kButton, nullptr, kPushButton, 128, 80, 50, 14, L"OK", 0},
     }},
    {102,
     kChinese,
     0x80C800C8,
     0,
     188,
     100,
     L"关于 CorvaneTetherly",
     {
         {kNoId, kStatic, nullptr, kIcon, 7, 7, 20, 20, nullptr, 201},
         {kNoId, kStatic, nullptr, kLabel, 34, 7, 146, 32,
          L"CorvaneTetherly v1.2\r\n\r\n版权所有 (C) 2026 Corvane软件工作室\r\n保留所有权利。", 0},
         {1006, kNamed, L"SysLink", kLink, 34, 48, 146, 25,
          L"Corvane软件工作室网站:\r\n<a>https://www.corvane-studio.example</a>\r\n"
          L"电子邮件: support@corvane-studio.example",
          0},
         {1, kButton, nullptr, kPushButton, 128, 80, 50, 14, L"OK", 0},
     }},
};

struct DialogItem {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    NameOrOrdinal cls, text;
    WORD extra;
};

struct Dialog {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD count;
    short x, y, cx, cy;
    NameOrOrdinal menu, cls;
    std::wstring caption;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::wstring face;
    std::vector<DialogItem> items;
    bool ok;
};

// DLGTEMPLATEEX followed by DLGITEMTEMPLATEEX items, each aligned to 4 bytes.
Dialog ParseDialog(Raw raw) {
    Reader r(raw);
    Dialog d{};
    d.version = r.Word();
    d.signature = r.Word();
    d.helpId = r.Dword();
    d.exStyle = r.Dword();
    d.style = r.Dword();
    d.count = r.Word();
    d.x = r.Short();
    d.y = r.Short();
    d.cx = r.Short();
    d.cy = r.Short();
    d.menu = r.Name();
    d.cls = r.Name();
    d.caption = r.Text();
    d.pointSize = r.Word();
    d.weight = r.Word();
    d.italic = r.Byte();
    d.charset = r.Byte();
    d.face = r.Text();
    for (WORD i = 0; i < d.count && r.ok(); ++i) {
        r.Align4();
        DialogItem item{};
        item.helpId = r.Dword();
        item.exStyle = r.Dword();
        item.style = r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.Dword();
        item.cls = r.Name();
        item.text = r.Name();
        item.extra = r.Word();
        r.Skip(item.extra);
        d.items.push_back(item);
    }
    d.ok = r.ok();
    return d;
}

// windres stores class names upper-cased; window class names are case-insensitive.
bool SameClassName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return std::towupper(x) == std::towupper(y); });
}

TEST(ResourceDialogs, HeadersMatch) {
    for (const DialogRow& row : kDialogs) {
        SCOPED_TRACE(testing::Message()
                     << "dialog " << row.dialog << " lang " << std::hex << row.lang);
        Dialog d = ParseDialog(Find(kRtDialog, row.dialog, row.lang));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(1, d.version);
        EXPECT_EQ(0xFFFF, d.signature);
        EXPECT_EQ(0u, d.helpId);
        EXPECT_EQ(row.exStyle, d.exStyle);
        EXPECT_EQ(row.style, d.style);
        EXPECT_EQ(row.items.size(), d.count);
        EXPECT_EQ(0, d.x);
        EXPECT_EQ(0, d.y);
        EXPECT_EQ(row.cx, d.cx);
        EXPECT_EQ(row.cy, d.cy);
        EXPECT_TRUE(!d.menu.ordinal && d.menu.text.empty());
        EXPECT_TRUE(!d.cls.ordinal && d.cls.text.empty());
        EXPECT_EQ(row.caption, d.caption);
        EXPECT_EQ(8, d.pointSize);
        EXPECT_EQ(0, d.weight);
        EXPECT_EQ(0, d.italic);
        EXPECT_EQ(0, d.charset);
        EXPECT_EQ(L"MS Shell Dlg", d.face);
    }
}

TEST(ResourceDialogs, ControlsMatchRowByRow) {
    for (const DialogRow& row : kDialogs) {
        Dialog d = ParseDialog(Find(kRtDialog, row.dialog, row.lang));
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(row.items.size(), d.items.size());
        for (size_t i = 0; i < row.items.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "dialog " << row.dialog << " lang " << std::hex
                                            << row.lang << std::dec << " control #" << i + 1);
            const ItemRow& want = row.items[i];
            const DialogItem& got = d.items[i];
            EXPECT_EQ(0u, got.helpId);
            EXPECT_EQ(0u, got.exStyle);
            EXPECT_EQ(want.style, got.style) << std::hex << got.style;
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
            EXPECT_EQ(want.id, got.id) << std::hex << got.id;
            if (want.classAtom != kNamed) {
                EXPECT_TRUE(got.cls.ordinal);
                EXPECT_EQ(want.classAtom, got.cls.id);
            } else {
                EXPECT_FALSE(got.cls.ordinal);
                EXPECT_TRUE(SameClassName(want.className, got.cls.text)) << Narrow(got.cls.text);
            }
            if (want.text == nullptr) {
                EXPECT_TRUE(got.text.ordinal);
                EXPECT_EQ(want.textId, got.text.id);
            } else {
                EXPECT_FALSE(got.text.ordinal);
                EXPECT_EQ(want.text, got.text.text);
            }
            EXPECT_EQ(0, got.extra);
        }
    }
}

TEST(ResourceDialogs, EveryLinkShowsTheWebSiteAddressWithoutAttributes) {
    int links = 0;
    for (const DialogRow& row : kDialogs) {
        SCOPED_TRACE(testing::Message()
                     << "dialog " << row.dialog << " lang " << std::hex << row.lang);
        for (const DialogItem& item : ParseDialog(Find(kRtDialog, row.dialog, row.lang)).items) {
            if (item.id != IDC_LINK)
                continue;
            ++links;
            const std::wstring& text = item.text.text;
            size_t open = text.find(L"<a>");
            size_t close = text.find(L"</a>");
            ASSERT_NE(std::wstring::npos, open);
            ASSERT_NE(std::wstring::npos, close);
            EXPECT_EQ(kWebSiteUrl, text.substr(open + 3, close - open - 3));
            EXPECT_EQ(std::wstring::npos, text.find(L"<a ")) << "no address attribute";
            EXPECT_EQ(open, text.rfind(L"<a>")) << "one link per text";
        }
    }
    EXPECT_EQ(4, links);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// Builds each template as the platform does and looks at the windows it made.
TEST(ResourceDialogs, PlatformCreatesEveryControl) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LINK_CLASS | ICC_STANDARD_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    for (const DialogRow& row : kDialogs) {
        SCOPED_TRACE(testing::Message()
                     << "dialog " << row.dialog << " lang " << std::hex << row.lang);
        Raw raw = Find(kRtDialog, row.dialog, row.lang);
        ASSERT_NE(nullptr, raw.data);
        HWND dlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                reinterpret_cast<LPCDLGTEMPLATEW>(raw.data),
                                                nullptr, &PlainDialogProc, 0);
        ASSERT_NE(nullptr, dlg);
        EXPECT_FALSE(::IsWindowVisible(dlg));
        wchar_t text[128] = {};
        ::GetWindowTextW(dlg, text, 128);
        EXPECT_EQ(row.caption, std::wstring(text));
        EXPECT_NE(nullptr, reinterpret_cast<HFONT>(::SendMessageW(dlg, WM_GETFONT, 0, 0)));

        size_t i = 0;
        for (HWND child = ::GetWindow(dlg, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT), ++i) {
            ASSERT_LT(i, row.items.size());
            const ItemRow& want = row.items[i];
            static const wchar_t* const kAtomNames[] = {L"Button", L"Edit", L"Static"};
            const wchar_t* cls =
                want.classAtom == kNamed ? want.className : kAtomNames[want.classAtom - kButton];
            wchar_t got[64] = {};
            ::GetClassNameW(child, got, 64);
            EXPECT_EQ(std::wstring(cls), got) << "control #" << i + 1;
            EXPECT_EQ(static_cast<int>(static_cast<WORD>(want.id)),
                      static_cast<int>(static_cast<WORD>(::GetDlgCtrlID(child))));
            if (want.style == kIcon) {
                EXPECT_NE(0, ::SendMessageW(child, STM_GETICON, 0, 0)) << "icon 201 is shown";
            }
        }
        EXPECT_EQ(row.items.size(), i);
        ::DestroyWindow(dlg);
    }
}

// ---------------------------------------------------------------------------------------------
// Tray menu

struct MenuRow {
    WORD flags; // as stored, without the end mark
    WORD id;
    const wchar_t* text;
};

const std::vector<std::pair<LANGID, std::vector<MenuRow>>> kMenus = {
    {kEnglish,
     {{0, 2001, L"&Option"},
      {0, 0, L""},
      {0, 2003, L"&About..."},
      {0, 0, L""},
      {0, 2004, L"&Corvane Studio"},
      {0, 0, L""},
      {0, 2002, L"&Quit"}}},
    {kChinese,
     {{0, 2001, L"选项(&O)"},
      {0, 0, L""},
      {0, 2003, L"关于(&A)..."},
      {0, 0, L""},
      {0, 2004, L"Corvane软件工作室(&S)"},
      {0, 0, L""},
      {0, 2002, L"退出(&Q)"}}},
};

TEST(ResourceTrayMenu, TemplateHoldsOnePopupWithTheItemsInOrder) {
    for (const auto& [lang, items] : kMenus) {
        SCOPED_TRACE(testing::Message() << "lang " << std::hex << lang);
        Raw raw = Find(kRtMenu, IDR_TRAYMENU, lang);
        Reader r(raw);
        EXPECT_EQ(0, r.Word()) << "standard template, version 0";
        EXPECT_EQ(0, r.Word()) << "header size 0";
        EXPECT_EQ(MF_POPUP | MF_END, r.Word()) << "the one and last top-level item";
        EXPECT_EQ(L"TrayMenu", r.Text());
        for (size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i);
            WORD endMark = i + 1 == items.size() ? MF_END : 0;
            EXPECT_EQ(items[i].flags | endMark, r.Word());
            EXPECT_EQ(items[i].id, r.Word());
            EXPECT_EQ(items[i].text, r.Text());
        }
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(0u, r.Left());
    }
}

TEST(ResourceTrayMenu, LoadedPopupHasSeparatorsAndPlainEnabledItems) {
    for (const auto& [lang, items] : kMenus) {
        SCOPED_TRACE(testing::Message() << "lang " << std::hex << lang);
        HMENU menu = ::LoadMenuIndirectW(Find(kRtMenu, IDR_TRAYMENU, lang).data);
        ASSERT_NE(nullptr, menu);
        ASSERT_EQ(1, ::GetMenuItemCount(menu));
        HMENU popup = ::GetSubMenu(menu, 0);
        ASSERT_NE(nullptr, popup);
        ASSERT_EQ(static_cast<int>(items.size()), ::GetMenuItemCount(popup));
        EXPECT_EQ(-1, static_cast<int>(::GetMenuDefaultItem(popup, TRUE, 0)));
        for (UINT i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i);
            wchar_t text[64] = {};
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 64;
            ASSERT_TRUE(::GetMenuItemInfoW(popup, i, TRUE, &info));
            bool separator = items[i].id == 0;
            EXPECT_EQ(separator, (info.fType & MFT_SEPARATOR) != 0);
            EXPECT_EQ(items[i].id, info.wID);
            if (!separator) { // the platform greys separators itself
                EXPECT_EQ(0u, info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT));
                EXPECT_EQ(std::wstring(items[i].text), text);
            }
        }
        ::DestroyMenu(menu);
    }
}

// ---------------------------------------------------------------------------------------------
// Strings

struct StringRow {
    UINT id;
    const wchar_t* english;
    const wchar_t* chinese;
};

const std::vector<StringRow> kStrings = {
    {10001, L"Corvane Tetherly 1.0", L"CorvaneTetherly 1.0"},
    {10002,
     L"Failed to register hot key. Perhaps it is used by other applications. Please use another "
     L"key.",
     L"注册热键失败，可能该热键被其他程序占用。请换一个键。"},
};

// The 16 counted strings of one block, by id.
std::vector<std::wstring> ParseStringBlock(Raw raw, bool& ok) {
    Reader r(raw);
    std::vector<std::wstring> strings;
    for (int i = 0; i < 16; ++i) {
        WORD length = r.Word();
        std::wstring s;
        for (WORD k = 0; k < length; ++k)
            s += static_cast<wchar_t>(r.Word());
        strings.push_back(s);
    }
    ok = r.ok() && r.Left() == 0;
    return strings;
}

TEST(ResourceStrings, Block626HoldsExactlyTheTwoTexts) {
    for (LANGID lang : {kEnglish, kChinese}) {
        SCOPED_TRACE(testing::Message() << "lang " << std::hex << lang);
        bool ok = false;
        std::vector<std::wstring> block = ParseStringBlock(Find(kRtString, 626, lang), ok);
        ASSERT_TRUE(ok);
        std::vector<std::wstring> expected(16);
        for (const StringRow& row : kStrings)
            expected[row.id - 10000] = lang == kEnglish ? row.english : row.chinese;
        EXPECT_EQ(expected, block);
    }
}

// The platform picks the copy of the thread's user-interface language (English otherwise).
TEST(ResourceStrings, LoadStringGivesTheThreadLanguageCopyWhole) {
    bool chinese = ::GetThreadUILanguage() == kChinese;
    for (const StringRow& row : kStrings) {
        SCOPED_TRACE(row.id);
        std::wstring expected = chinese ? row.chinese : row.english;
        const wchar_t* direct = nullptr;
        int length = ::LoadStringW(nullptr, row.id, reinterpret_cast<LPWSTR>(&direct), 0);
        ASSERT_EQ(static_cast<int>(expected.size()), length);
        EXPECT_EQ(expected, std::wstring(direct, static_cast<size_t>(length)));
        wchar_t buffer[256] = {};
        EXPECT_EQ(length, ::LoadStringW(nullptr, row.id, buffer, 256));
        EXPECT_EQ(expected, buffer);
    }
    wchar_t buffer[8] = {L'x'};
    EXPECT_EQ(0, ::LoadStringW(nullptr, 10003, buffer, 8)) << "unused id in the block";
    EXPECT_EQ(0, ::LoadStringW(nullptr, 10000, buffer, 8));
}

// ---------------------------------------------------------------------------------------------
// Version record

struct VersionNode {
    std::wstring key;
    WORD type = 0;
    const BYTE* value = nullptr;
    size_t valueBytes = 0;
    std::vector<VersionNode> children;
};

// One node: length, value length, type, key, padding, value, padding, children.
VersionNode ParseVersionNode(Reader& r, bool& ok) {
    VersionNode node;
    size_t start = r.Pos();
    WORD length = r.Word();
    WORD valueLength = r.Word();
    node.type = r.Word();
    node.key = r.Text();
    r.Align4();
    node.value = r.Here();
    node.valueBytes = node.type == 1 ? valueLength * 2u : valueLength;
    r.Skip(node.valueBytes);
    r.Align4();
    while (r.ok() && ok && r.Pos() < start + length)
        node.children.push_back(ParseVersionNode(r, ok));
    ok = ok && r.ok() && r.Pos() >= start + length;
    r.Seek(start + length);
    r.Align4();
    return node;
}

std::wstring NodeText(const VersionNode& node) {
    std::wstring s;
    for (size_t i = 0; i + 1 < node.valueBytes; i += 2) {
        wchar_t c = static_cast<wchar_t>(node.value[i] | node.value[i + 1] << 8);
        if (c == 0)
            break;
        s += c;
    }
    return s;
}

struct VersionRow {
    LANGID lang;
    const wchar_t* table;
    std::vector<std::pair<std::wstring, std::wstring>> values;
    DWORD translation;
};

const std::vector<VersionRow> kVersions = {
    {kEnglish,
     L"040904b0",
     {{L"FileDescription", L"Corvane Tetherly"},
      {L"FileVersion", L"1, 0, 0, 1"},
      {L"InternalName", L"qzTetherly"},
      {L"LegalCopyright", L"Copyright (C) 2026 Corvane Studio"},
      {L"OriginalFilename", L"qzTetherly.exe"},
      {L"ProductName", L"Corvane Tetherly"},
      {L"ProductVersion", L"1, 0, 0, 0"}},
     0x04B00409},
    {kChinese,
     L"080404b0",
     {{L"FileDescription", L"CorvaneTetherly"},
      {L"FileVersion", L"1, 0, 0, 1"},
      {L"InternalName", L"qzTetherly"},
      {L"LegalCopyright", L"版权所有 (C) 2026 Corvane软件工作室"},
      {L"OriginalFilename", L"qzTetherly.exe"},
      {L"ProductName", L"CorvaneTetherly"},
      {L"ProductVersion", L"1, 0, 0, 0"}},
     0x04B00804},
};

TEST(ResourceVersion, EachLanguageHasItsOwnRecord) {
    for (const VersionRow& row : kVersions) {
        SCOPED_TRACE(testing::Message() << "lang " << std::hex << row.lang);
        Reader r(Find(kRtVersion, 1, row.lang));
        bool ok = true;
        VersionNode root = ParseVersionNode(r, ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(L"VS_VERSION_INFO", root.key);
        ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), root.valueBytes);
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, root.value, sizeof fixed);
        EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
        EXPECT_EQ(0x00010000u, fixed.dwFileVersionMS);
        EXPECT_EQ(0x00000001u, fixed.dwFileVersionLS);
        EXPECT_EQ(0x00010000u, fixed.dwProductVersionMS);
        EXPECT_EQ(0x00000000u, fixed.dwProductVersionLS);
        EXPECT_EQ(0x3Fu, fixed.dwFileFlagsMask);
        EXPECT_EQ(0u, fixed.dwFileFlags);
        EXPECT_EQ(0x4u, fixed.dwFileOS);
        EXPECT_EQ(0x1u, fixed.dwFileType);
        EXPECT_EQ(0u, fixed.dwFileSubtype);
        EXPECT_EQ(0u, fixed.dwFileDateMS);
        EXPECT_EQ(0u, fixed.dwFileDateLS);

        ASSERT_EQ(2u, root.children.size());
        const VersionNode& strings = root.children[0];
        EXPECT_EQ(L"StringFileInfo", strings.key);
        ASSERT_EQ(1u, strings.children.size());
        const VersionNode& table = strings.children[0];
        EXPECT_EQ(row.table, table.key);
        std::vector<std::pair<std::wstring, std::wstring>> values;
        for (const VersionNode& value : table.children)
            values.emplace_back(value.key, NodeText(value));
        EXPECT_EQ(row.values, values);

        const VersionNode& vars = root.children[1];
        EXPECT_EQ(L"VarFileInfo", vars.key);
        ASSERT_EQ(1u, vars.children.size());
        EXPECT_EQ(L"Translation", vars.children[0].key);
        ASSERT_EQ(4u, vars.children[0].valueBytes);
        DWORD translation;
        std::memcpy(&translation, vars.children[0].value, 4);
        EXPECT_EQ(row.translation, translation);
    }
}

// ---------------------------------------------------------------------------------------------
// Icons

struct IconEntry {
    int size;
    WORD iconId; // RT_ICON id
    size_t bytes;
};

struct GroupEntry {
    BYTE width, height, colors;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};

std::vector<GroupEntry> ParseGroup(WORD group, bool& ok) {
    Reader r(Find(kRtGroupIcon, group, kEnglish));
    std::vector<GroupEntry> entries;
    WORD reserved = r.Word();
    WORD type = r.Word();
    WORD count = r.Word();
    for (WORD i = 0; i < count && r.ok(); ++i) {
        GroupEntry e{};
        e.width = r.Byte();
        e.height = r.Byte();
        e.colors = r.Byte();
        r.Byte();
        e.planes = r.Word();
        e.bitCount = r.Word();
        e.bytes = r.Dword();
        e.id = r.Word();
        entries.push_back(e);
    }
    ok = reserved == 0 && type == 1 && r.ok() && r.Left() == 0;
    return entries;
}

// 40-byte header, BGRA rows, then a 1-bit mask with rows padded to 32 bits.
constexpr size_t ImageBytes(int size) {
    return 40 + static_cast<size_t>(size) * size * 4 + (size + 31) / 32 * 4 * size;
}

const std::vector<std::pair<WORD, std::vector<int>>> kIconGroups = {
    {IDI_APP, {48, 32, 16}},
    {IDI_TRAY, {16}},
};

TEST(ResourceIcons, GroupsListTheirSizesAt32Bits) {
    for (const auto& [group, sizes] : kIconGroups) {
        SCOPED_TRACE(group);
        bool ok = false;
        std::vector<GroupEntry> entries = ParseGroup(group, ok);
        ASSERT_TRUE(ok);
        ASSERT_EQ(sizes.size(), entries.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_EQ(sizes[i], entries[i].width);
            EXPECT_EQ(sizes[i], entries[i].height);
            EXPECT_EQ(0, entries[i].colors);
            EXPECT_EQ(1, entries[i].planes);
            EXPECT_EQ(32, entries[i].bitCount);
            EXPECT_EQ(ImageBytes(sizes[i]), entries[i].bytes);
            EXPECT_EQ(entries[i].bytes, Find(kRtIcon, entries[i].id, kEnglish).size);
        }
    }
}

TEST(ResourceIcons, EveryImageIsAnUncompressedBitmapWithAlphaAndMatchingMask) {
    for (const auto& [group, sizes] : kIconGroups) {
        bool ok = false;
        std::vector<GroupEntry> entries = ParseGroup(group, ok);
        ASSERT_TRUE(ok);
        for (const GroupEntry& entry : entries) {
            SCOPED_TRACE(testing::Message() << "group " << group << " size " << int{entry.width});
            Raw image = Find(kRtIcon, entry.id, kEnglish);
            ASSERT_EQ(ImageBytes(entry.width), image.size);
            BITMAPINFOHEADER header;
            std::memcpy(&header, image.data, sizeof header);
            EXPECT_EQ(40u, header.biSize);
            EXPECT_EQ(entry.width, header.biWidth);
            EXPECT_EQ(2 * entry.height, header.biHeight);
            EXPECT_EQ(1, header.biPlanes);
            EXPECT_EQ(32, header.biBitCount);
            EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);

            const int size = entry.width;
            const BYTE* pixels = image.data + 40;
            const BYTE* mask = pixels + size * size * 4;
            const int stride = (size + 31) / 32 * 4;
            int transparent = 0, opaque = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    BYTE alpha = pixels[(y * size + x) * 4 + 3];
                    bool masked = (mask[y * stride + x / 8] & (0x80 >> (x % 8))) != 0;
                    transparent += alpha == 0;
                    opaque += alpha == 255;
                    if (alpha == 0) {
                        EXPECT_TRUE(masked) << x << "," << y;
                    }
                    if (alpha == 255) {
                        EXPECT_FALSE(masked) << x << "," << y;
                    }
                }
            }
            EXPECT_GT(transparent, 0) << "the corners are see-through";
            EXPECT_GT(opaque, size * size / 3) << "the picture is solid";
        }
    }
}

TEST(ResourceIcons, TrayImageIsTheSmallApplicationImage) {
    bool ok = false;
    std::vector<GroupEntry> app = ParseGroup(IDI_APP, ok);
    ASSERT_TRUE(ok);
    std::vector<GroupEntry> tray = ParseGroup(IDI_TRAY, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(3u, app.size());
    ASSERT_EQ(1u, tray.size());
    Raw small = Find(kRtIcon, app[2].id, kEnglish);
    Raw trayImage = Find(kRtIcon, tray[0].id, kEnglish);
    ASSERT_EQ(small.size, trayImage.size);
    EXPECT_EQ(0, std::memcmp(small.data, trayImage.data, small.size));
    Raw big = Find(kRtIcon, app[0].id, kEnglish);
    ASSERT_GT(big.size, 40u);
    EXPECT_NE(small.size, big.size);
}

// Blue pixels are the brand word: only under the 48-pixel picture.
TEST(ResourceIcons, OnlyTheLargestImageCarriesTheBrandWord) {
    const std::vector<std::pair<int, bool>> rows = {{48, true}, {32, false}, {16, false}};
    bool ok = false;
    std::vector<GroupEntry> app = ParseGroup(IDI_APP, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(rows.size(), app.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const int size = rows[i].first;
        SCOPED_TRACE(size);
        const BYTE* pixels = Find(kRtIcon, app[i].id, kEnglish).data + 40;
        int blue = 0, blueAbove = 0;
        for (int row = 0; row < size; ++row) { // stored bottom-up
            for (int x = 0; x < size; ++x) {
                const BYTE* p = pixels + (row * size + x) * 4;
                if (p[3] == 255 && p[0] > 150 && p[2] < 100) {
                    ++blue;
                    blueAbove += row >= 10;
                }
            }
        }
        EXPECT_EQ(rows[i].second, blue > 0) << blue;
        EXPECT_EQ(0, blueAbove) << "the word stands under the picture";
    }
}

TEST(ResourceIcons, PlatformLoadsEachSizeExactly) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    const std::vector<std::pair<WORD, int>> rows = {
        {IDI_APP, 48}, {IDI_APP, 32}, {IDI_APP, 16}, {IDI_TRAY, 16}};
    for (const auto& [group, size] : rows) {
        SCOPED_TRACE(testing::Message() << "group " << group << " size " << size);
        HICON icon = static_cast<HICON>(
            ::LoadImageW(module, ResId(group), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(nullptr, icon);
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour = {};
        ASSERT_NE(nullptr, info.hbmColor);
        ::GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(size, colour.bmWidth);
        EXPECT_EQ(size, colour.bmHeight);
        EXPECT_EQ(32, colour.bmBitsPixel);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
    EXPECT_NE(nullptr, ::LoadIconW(module, ResId(IDI_TRAY)));
}

// ---------------------------------------------------------------------------------------------
// Manifest

#if defined(_WIN64)
constexpr char kArchitecture[] = "processorArchitecture=\"amd64\"";
#else
constexpr char kArchitecture[] = "processorArchitecture=\"x86\"";
#endif

TEST(ResourceManifest, AsksForInvokerRightsAndCommonControlsSix) {
    Raw raw = Find(kRtManifest, 1, kEnglish);
    ASSERT_NE(nullptr, raw.data);
    std::string xml(reinterpret_cast<const char*>(raw.data), raw.size);
    const std::vector<std::string> fragments = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"",
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "name=\"Microsoft.Windows.Common-Controls\"",
        "version=\"6.0.0.0\"",
        "type=\"win32\"",
        kArchitecture,
        "publicKeyToken=\"6595b64144ccf1df\"",
        "language=\"*\"",
    };
    for (const std::string& fragment : fragments)
        EXPECT_NE(std::string::npos, xml.find(fragment)) << fragment;
    EXPECT_EQ(std::string::npos, xml.find('\0')) << "no terminator inside the text";
    EXPECT_EQ(xml.find("<dependency>"), xml.rfind("<dependency>")) << "one dependency";
}

// The manifest took effect when comctl32 came from the side-by-side store.
TEST(ResourceManifest, CommonControlsComeFromTheSideBySideStore) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LINK_CLASS};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(nullptr, comctl);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
    std::wstring lower(path);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    EXPECT_NE(std::wstring::npos, lower.find(L"\\winsxs\\")) << Narrow(path);
}

} // namespace
