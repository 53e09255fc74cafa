// Observes the running program from outside and prints what it sees, one item a line.
// Exit code 0 when it could observe; 1, with the reason on stderr, when it could not.
// A window (SEL) is named by its exact title or by its handle written 0x...
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const wchar_t kStore[] = L"Software\\Corvane Studio\\qzTetherly";

struct Failed {
    std::wstring why;
};

// UTF-8 whatever the console's code page; the buffer's fill gives the line end.
void Print(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\n');
    const DWORD n = static_cast<DWORD>(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), n + 1, &written, nullptr);
}

long long Num(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long long value = wcstoll(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') {
        throw Failed{L"not a number: " + text};
    }
    return value;
}

template <class T> T As(const std::wstring& text) {
    return static_cast<T>(Num(text));
}

std::wstring Hex(unsigned long long value) {
    wchar_t buf[24];
    swprintf(buf, 24, L"0x%llx", value);
    return buf;
}

std::wstring Handle(HWND wnd) {
    return Hex(reinterpret_cast<UINT_PTR>(wnd));
}
std::wstring Flag(BOOL on) {
    return on ? L"1" : L"0";
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

HWND Find(const std::wstring& sel) {
    if (sel.rfind(L"0x", 0) == 0) {
        HWND wnd = reinterpret_cast<HWND>(As<UINT_PTR>(sel));
        return IsWindow(wnd) ? wnd : nullptr;
    }
    return FindWindowW(nullptr, sel.c_str());
}

HWND Win(const std::wstring& sel) {
    HWND wnd = Find(sel);
    if (wnd == nullptr) {
        throw Failed{L"no window " + sel};
    }
    return wnd;
}

HWND Item(HWND wnd, const std::wstring& id) {
    HWND item = GetDlgItem(wnd, As<int>(id));
    if (item == nullptr) {
        throw Failed{L"no control " + id};
    }
    return item;
}

// Children of parent (top-level windows when null) of a class, with a title (any when null).
std::vector<HWND> Windows(HWND parent, const wchar_t* cls = nullptr,
                          const wchar_t* title = nullptr) {
    std::vector<HWND> all;
    for (HWND wnd = nullptr; (wnd = FindWindowExW(parent, wnd, cls, title)) != nullptr;) {
        all.push_back(wnd);
    }
    return all;
}

// WM_GETTEXT, not GetWindowText: only the message reads another process's edit control.
std::wstring Text(HWND wnd) {
    std::vector<wchar_t> buf(4096);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(wnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_NORMAL, 5000, &copied)) {
        throw Failed{L"no answer to WM_GETTEXT"};
    }
    return std::wstring(buf.data(), copied);
}

void DumpStore() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStore, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        BYTE data[1024];
        DWORD nameLen = 256, type = 0, size = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) {
            break;
        }
        std::wstring line = std::wstring(name) + L" type" + std::to_wstring(type);
        if (type == REG_DWORD && size == 4) {
            DWORD value = 0;
            memcpy(&value, data, 4);
            line = std::wstring(name) + L" REG_DWORD " + Hex(value);
        } else if (type == REG_SZ) {
            std::wstring text(size / sizeof(wchar_t), L'\0');
            memcpy(text.data(), data, text.size() * sizeof(wchar_t));
            line = std::wstring(name) + L" REG_SZ " + std::to_wstring(size) + L" " + text.c_str();
        }
        Print(line);
    }
    RegCloseKey(key);
}

// Each argument NAME=NUMBER; negative numbers are stored as their 32-bit pattern.
void PlantStore(const std::vector<std::wstring>& values) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kStore, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        throw Failed{L"cannot create the store key"};
    }
    for (const std::wstring& pair : values) {
        const size_t eq = pair.find(L'=');
        const DWORD v = static_cast<DWORD>(As<unsigned long long>(pair.substr(eq + 1)));
        RegSetValueExW(key, pair.substr(0, eq).c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&v), sizeof(v));
    }
    RegCloseKey(key);
}

void PumpForever() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        DispatchMessageW(&m);
    }
}

int Run(const std::wstring& cmd, const std::vector<std::wstring>& a) {
    auto arg = [&a](size_t i) -> const std::wstring& {
        if (i >= a.size()) {
            throw Failed{L"missing argument"};
        }
        return a[i];
    };
    RECT r = {};
    if (cmd == L"find") { // handle, visible, enabled, foreground
        HWND wnd = Win(arg(0));
        Print(Handle(wnd) + L" " + Flag(IsWindowVisible(wnd)) + L" " + Flag(IsWindowEnabled(wnd)) +
              L" " + Flag(GetForegroundWindow() == wnd));
    } else if (cmd == L"count") { // top-level windows titled TITLE
        Print(std::to_wstring(Windows(nullptr, nullptr, arg(0).c_str()).size()));
    } else if (cmd == L"owned") { // the first visible window owned by SEL
        HWND owner = Win(arg(0));
        for (HWND wnd : Windows(nullptr)) {
            if (GetWindow(wnd, GW_OWNER) == owner && IsWindowVisible(wnd)) {
                Print(Handle(wnd));
                return 0;
            }
        }
        throw Failed{L"nothing shown over " + arg(0)};
    } else if (cmd == L"text") {
        Print(Text(Item(Win(arg(0)), arg(1))));
    } else if (cmd == L"rect") { // clip | menu | SEL [ID|client], in screen coordinates
        if (arg(0) == L"clip") {
            GetClipCursor(&r);
        } else if (arg(0) == L"menu") {
            HWND menu = nullptr;
            for (HWND wnd : Windows(nullptr, L"#32768")) {
                menu = IsWindowVisible(wnd) ? wnd : menu;
            }
            if (menu == nullptr) {
                throw Failed{L"no popup menu shown"};
            }
            GetWindowRect(menu, &r);
        } else if (a.size() > 1 && a[1] == L"client") {
            HWND wnd = Win(arg(0));
            POINT origin = {0, 0};
            GetClientRect(wnd, &r);
            ClientToScreen(wnd, &origin);
            OffsetRect(&r, origin.x, origin.y);
        } else {
            GetWindowRect(a.size() > 1 ? Item(Win(arg(0)), a[1]) : Win(arg(0)), &r);
        }
        Print(RectText(r));
    } else if (cmd == L"unclip") {
        ClipCursor(nullptr);
    } else if (cmd == L"xid") { // the X window Wine keeps for a top-level window
        Print(std::to_wstring(
            reinterpret_cast<UINT_PTR>(GetPropW(Win(arg(0)), L"__wine_x11_whole_window"))));
    } else if (cmd == L"send" || cmd == L"post") { // SEL MSG WPARAM LPARAM; MSG @Name registers
        HWND wnd = Win(arg(0));
        const UINT msg =
            arg(1)[0] == L'@' ? RegisterWindowMessageW(arg(1).c_str() + 1) : As<UINT>(arg(1));
        const WPARAM wp = As<WPARAM>(arg(2));
        const LPARAM lp = As<LPARAM>(arg(3));
        DWORD_PTR result = 0;
        if (cmd == L"post" ? !PostMessageW(wnd, msg, wp, lp)
                           : !SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_NORMAL, 5000, &result)) {
            throw Failed{cmd + L" failed"};
        }
        Print(std::to_wstring(result));
    } else if (cmd == L"hotkey" || cmd == L"hold") { // MODS VK: free|held, or hold it till killed
        const bool free = RegisterHotKey(nullptr, 1, As<UINT>(arg(0)), As<UINT>(arg(1))) != FALSE;
        if (cmd == L"hold") {
            if (!free) {
                throw Failed{L"held elsewhere"};
            }
            Print(L"holding");
            PumpForever();
        }
        // Unregistered at once: the next look must not find it held by this probe.
        UnregisterHotKey(nullptr, 1);
        Print(free ? L"free" : L"held");
    } else if (cmd == L"reg") {
        DumpStore();
    } else if (cmd == L"reg-set") {
        PlantStore(a);
    } else if (cmd == L"reg-clear") {
        RegDeleteTreeW(HKEY_CURRENT_USER, kStore);
    } else if (cmd == L"tray") { // the rectangles of the shown icons
        HWND tray = FindWindowW(nullptr, L"Wine System Tray");
        for (HWND icon : tray != nullptr ? Windows(tray) : std::vector<HWND>()) {
            if (IsWindowVisible(icon) && GetWindowRect(icon, &r)) {
                Print(RectText(r));
            }
        }
    } else if (cmd == L"tray-delete") { // SEL's icon 0
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = Win(arg(0));
        if (!Shell_NotifyIconW(NIM_DELETE, &nid)) {
            throw Failed{L"NIM_DELETE refused"};
        }
    } else if (cmd == L"target") { // TITLE X Y W H [clip]: a window to switch to, till killed
        HWND wnd = CreateWindowExW(0, L"STATIC", arg(0).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   As<int>(arg(1)), As<int>(arg(2)), As<int>(arg(3)),
                                   As<int>(arg(4)), nullptr, nullptr, nullptr, nullptr);
        if (a.size() > 5 && !(GetWindowRect(wnd, &r) && ClipCursor(&r))) {
            throw Failed{L"ClipCursor refused"};
        }
        Print(Handle(wnd));
        PumpForever();
    } else {
        throw Failed{L"unknown command " + cmd};
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc > 1 ? argv[1] : L"",
                   std::vector<std::wstring>(argv + (argc > 1 ? 2 : 1), argv + argc));
    } catch (const Failed& failed) {
        fputws((L"probe: " + failed.why + L"\n").c_str(), stderr);
        return 1;
    }
}
