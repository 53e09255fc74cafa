// Observes the running program from outside and prints what it sees on stdout.
// Every command exits 0 when it could observe, 1 when it could not (window
// missing, timeout, refused call) and 2 on a usage error.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const wchar_t kStoreKey[] = L"Software\\Corvane Studio\\qzTetherly";

// WriteFile keeps the bytes as they are: UTF-8, "\n" line ends.
void Print(const std::wstring& text) {
    std::wstring line = text + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), out.data(), bytes,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

int Fail(const std::wstring& why) {
    std::wstring line = L"probe: " + why + L"\n";
    fputws(line.c_str(), stderr);
    return kFailed;
}

std::wstring Hex(unsigned long long value) {
    wchar_t buf[32];
    swprintf(buf, 32, L"0x%llx", value);
    return buf;
}

std::wstring HandleText(HWND wnd) {
    return Hex(reinterpret_cast<UINT_PTR>(wnd));
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

bool ParseNumber(const std::wstring& text, long long& value) {
    if (text.empty()) {
        return false;
    }
    wchar_t* end = nullptr;
    value = wcstoll(text.c_str(), &end, 0);
    return end != nullptr && *end == L'\0';
}

std::wstring TitleOf(HWND wnd) {
    wchar_t buf[512] = {};
    GetWindowTextW(wnd, buf, 512);
    return buf;
}

// GetWindowText does not ask a window of another process; WM_GETTEXT does,
// so an edit control answers with its current contents.
bool ControlText(HWND wnd, std::wstring& text) {
    std::vector<wchar_t> buf(4096);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(wnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_NORMAL, 5000, &copied)) {
        return false;
    }
    text.assign(buf.data(), copied);
    return true;
}

std::wstring ClassOf(HWND wnd) {
    wchar_t buf[256] = {};
    GetClassNameW(wnd, buf, 256);
    return buf;
}

// A window is named by its handle ("0x1234") or by its exact title.
HWND FindBySelector(const std::wstring& selector) {
    if (selector.size() > 2 && selector[0] == L'0' &&
        (selector[1] == L'x' || selector[1] == L'X')) {
        long long value = 0;
        if (!ParseNumber(selector, value)) {
            return nullptr;
        }
        HWND wnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
        return IsWindow(wnd) ? wnd : nullptr;
    }
    return FindWindowW(nullptr, selector.c_str());
}

struct TitleCount {
    std::wstring title;
    bool visibleOnly;
    int count;
};

BOOL CALLBACK CountByTitle(HWND wnd, LPARAM param) {
    auto* data = reinterpret_cast<TitleCount*>(param);
    if ((!data->visibleOnly || IsWindowVisible(wnd)) && TitleOf(wnd) == data->title) {
        ++data->count;
    }
    return TRUE;
}

struct WindowList {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND wnd, LPARAM param) {
    reinterpret_cast<WindowList*>(param)->windows.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    WindowList list;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

std::wstring Describe(HWND wnd) {
    return HandleText(wnd) + L"\t" + ClassOf(wnd) + L"\t" +
           (IsWindowVisible(wnd) ? L"visible" : L"hidden") + L"\t" +
           (IsWindowEnabled(wnd) ? L"enabled" : L"disabled") + L"\t" + TitleOf(wnd);
}

enum class Want { Visible, Hidden, Gone };

int WaitFor(const std::wstring& selector, Want want, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND wnd = FindBySelector(selector);
        bool reached = false;
        switch (want) {
        case Want::Visible:
            reached = wnd != nullptr && IsWindowVisible(wnd);
            break;
        case Want::Hidden:
            reached = wnd != nullptr && !IsWindowVisible(wnd);
            break;
        case Want::Gone:
            reached = wnd == nullptr;
            break;
        }
        if (reached) {
            Print(want == Want::Gone ? std::wstring(L"gone") : HandleText(wnd));
            return kOk;
        }
        // Unsigned difference: correct across the tick counter's wrap-around.
        if (GetTickCount() - start >= timeoutMs) {
            return Fail(L"timeout waiting for " + selector);
        }
        Sleep(50);
    }
}

UINT ParseMessage(const std::wstring& text) {
    if (!text.empty() && text[0] == L'@') {
        return RegisterWindowMessageW(text.c_str() + 1);
    }
    long long value = 0;
    return ParseNumber(text, value) ? static_cast<UINT>(value) : 0;
}

int CmdSend(HWND wnd, const std::vector<std::wstring>& a, bool post) {
    long long wp = 0;
    long long lp = 0;
    UINT msg = ParseMessage(a[1]);
    if (msg == 0 && a[1] != L"0") {
        return Fail(L"bad message " + a[1]);
    }
    if (!ParseNumber(a[2], wp) || !ParseNumber(a[3], lp)) {
        return Fail(L"bad parameters");
    }
    if (post) {
        if (!PostMessageW(wnd, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp))) {
            return Fail(L"PostMessage failed");
        }
        Print(L"posted");
        return kOk;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(wnd, msg, static_cast<WPARAM>(wp), static_cast<LPARAM>(lp),
                             SMTO_NORMAL, 5000, &result)) {
        return Fail(L"SendMessage timed out or failed");
    }
    Print(std::to_wstring(result));
    return kOk;
}

int CmdReg(const std::wstring* valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        Print(L"absent");
        return kOk;
    }
    std::vector<std::wstring> names;
    if (valueName != nullptr) {
        names.push_back(*valueName);
    } else {
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD len = 256;
            if (RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            names.push_back(name);
        }
    }
    for (const std::wstring& name : names) {
        DWORD type = 0;
        std::vector<BYTE> data(4096);
        DWORD size = static_cast<DWORD>(data.size());
        LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        std::wstring prefix = valueName != nullptr ? L"" : name + L" ";
        if (rc != ERROR_SUCCESS) {
            Print(prefix + L"absent");
            continue;
        }
        data.resize(size);
        if (type == REG_DWORD && size == 4) {
            DWORD v = 0;
            memcpy(&v, data.data(), 4);
            Print(prefix + L"REG_DWORD " + Hex(v));
        } else if (type == REG_SZ) {
            std::wstring text(size / sizeof(wchar_t), L'\0');
            memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
            Print(prefix + L"REG_SZ " + std::to_wstring(size) + L" " + text.c_str());
        } else {
            std::wstring bytes;
            for (BYTE b : data) {
                wchar_t buf[4];
                swprintf(buf, 4, L"%02x", b);
                bytes += buf;
            }
            Print(prefix + L"type" + std::to_wstring(type) + L" " + bytes);
        }
    }
    RegCloseKey(key);
    return kOk;
}

LRESULT CALLBACK TargetProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

// A plain overlapped window that other windows can be switched to.
int CmdTargetWindow(const std::vector<std::wstring>& a) {
    long long x = 0, y = 0, w = 0, h = 0;
    if (!ParseNumber(a[1], x) || !ParseNumber(a[2], y) || !ParseNumber(a[3], w) ||
        !ParseNumber(a[4], h)) {
        return Fail(L"bad geometry");
    }
    long long seconds = 120;
    if (a.size() > 5 && !ParseNumber(a[5], seconds)) {
        return Fail(L"bad seconds");
    }
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = L"E2eTarget";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowExW(0, wc.lpszClassName, a[0].c_str(), WS_OVERLAPPEDWINDOW,
                               static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                               static_cast<int>(h), nullptr, nullptr, wc.hInstance, nullptr);
    if (wnd == nullptr) {
        return Fail(L"CreateWindowEx failed");
    }
    ShowWindow(wnd, SW_SHOW);
    UpdateWindow(wnd);
    Print(HandleText(wnd));
    SetTimer(wnd, 1, static_cast<UINT>(seconds * 1000), nullptr);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (m.message == WM_TIMER && m.hwnd == wnd) {
            DestroyWindow(wnd);
            continue;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return kOk;
}

HWND TrayWindow() {
    return FindWindowW(nullptr, L"Wine System Tray");
}

struct ChildList {
    std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND wnd, LPARAM param) {
    reinterpret_cast<ChildList*>(param)->children.push_back(wnd);
    return TRUE;
}

int CmdTrayIcons() {
    HWND tray = TrayWindow();
    if (tray == nullptr) {
        Print(L"0");
        return kOk;
    }
    ChildList list;
    EnumChildWindows(tray, CollectChild, reinterpret_cast<LPARAM>(&list));
    std::vector<RECT> shown;
    for (HWND child : list.children) {
        RECT r = {};
        if (IsWindowVisible(child) && GetWindowRect(child, &r)) {
            shown.push_back(r);
        }
    }
    Print(std::to_wstring(shown.size()));
    for (const RECT& r : shown) {
        Print(RectText(r));
    }
    return kOk;
}

// Writes one value of the program's store, creating the key when missing.
int CmdRegSet(const std::vector<std::wstring>& a) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return Fail(L"cannot create the store key");
    }
    LONG rc = ERROR_INVALID_PARAMETER;
    long long number = 0;
    if (a[1] == L"dword" && ParseNumber(a[2], number)) {
        // Negative numbers are stored as their 32-bit pattern.
        DWORD v = static_cast<DWORD>(static_cast<unsigned long long>(number));
        rc = RegSetValueExW(key, a[0].c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                            sizeof(v));
    } else if (a[1] == L"sz") {
        rc = RegSetValueExW(key, a[0].c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(a[2].c_str()),
                            static_cast<DWORD>((a[2].size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        return Fail(L"cannot write " + a[0]);
    }
    Print(L"written");
    return kOk;
}

HWND FindVisibleByClass(const wchar_t* className) {
    for (HWND top : TopLevelWindows()) {
        if (IsWindowVisible(top) && ClassOf(top) == className) {
            return top;
        }
    }
    return nullptr;
}

bool ParseModsVk(const std::wstring& modsText, const std::wstring& vkText, UINT& mods, UINT& vk) {
    long long m = 0;
    long long v = 0;
    if (!ParseNumber(modsText, m) || !ParseNumber(vkText, v)) {
        return false;
    }
    mods = static_cast<UINT>(m);
    vk = static_cast<UINT>(v);
    return true;
}

int Usage() {
    fputws(L"usage: e2e_probe COMMAND ...\n"
           L"  find SEL | visible SEL | enabled SEL | text SEL ID\n"
           L"  wait-visible SEL [ms] | wait-hidden SEL [ms] | wait-gone SEL [ms]\n"
           L"  client-rect SEL | window-rect SEL | ctrl-rect SEL ID\n"
           L"  clip | unclip | foreground | count-windows TITLE [visible]\n"
           L"  owned SEL | xid SEL\n"
           L"  send SEL MSG WPARAM LPARAM | post SEL MSG WPARAM LPARAM  (MSG @Name registers)\n"
           L"  hotkey-free MODS VK | hold-hotkey MODS VK SECONDS\n"
           L"  reg [VALUE] | reg-set NAME dword|sz VALUE | reg-clear\n"
           L"  tray-icons | tray-delete SEL UID | menu-rect\n"
           L"  target-window TITLE X Y W H [SECONDS]\n"
           L"SEL is an exact window title or a handle written 0x...\n",
           stderr);
    return kUsage;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::wstring cmd = argv[1];
    std::vector<std::wstring> a(argv + 2, argv + argc);
    auto need = [&](size_t n) { return a.size() >= n; };
    long long number = 0;

    if (cmd == L"clip" || cmd == L"unclip" || cmd == L"foreground" || cmd == L"tray-icons" ||
        cmd == L"reg" || cmd == L"reg-clear" || cmd == L"menu-rect") {
        if (cmd == L"clip") {
            RECT r = {};
            if (!GetClipCursor(&r)) {
                return Fail(L"GetClipCursor failed");
            }
            Print(RectText(r));
        } else if (cmd == L"unclip") {
            ClipCursor(nullptr);
            Print(L"unclipped");
        } else if (cmd == L"foreground") {
            HWND wnd = GetForegroundWindow();
            Print(HandleText(wnd) + L"\t" + TitleOf(wnd));
        } else if (cmd == L"tray-icons") {
            return CmdTrayIcons();
        } else if (cmd == L"menu-rect") {
            HWND menu = FindVisibleByClass(L"#32768");
            RECT r = {};
            if (menu == nullptr || !GetWindowRect(menu, &r)) {
                return Fail(L"no popup menu shown");
            }
            Print(RectText(r));
        } else if (cmd == L"reg-clear") {
            LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
            if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
                return Fail(L"cannot delete the store key");
            }
            Print(L"cleared");
        } else {
            return a.empty() ? CmdReg(nullptr) : CmdReg(&a[0]);
        }
        return kOk;
    }

    if (cmd == L"count-windows" && need(1)) {
        TitleCount data{a[0], a.size() > 1 && a[1] == L"visible", 0};
        EnumWindows(CountByTitle, reinterpret_cast<LPARAM>(&data));
        Print(std::to_wstring(data.count));
        return kOk;
    }
    if ((cmd == L"hotkey-free" && need(2)) || (cmd == L"hold-hotkey" && need(3))) {
        UINT mods = 0;
        UINT vk = 0;
        if (!ParseModsVk(a[0], a[1], mods, vk)) {
            return Usage();
        }
        const int id = 0x7e2e;
        if (cmd == L"hotkey-free") {
            bool free = RegisterHotKey(nullptr, id, mods, vk) != FALSE;
            if (free) {
                UnregisterHotKey(nullptr, id);
            }
            Print(free ? L"free" : L"held");
            return kOk;
        }
        if (!ParseNumber(a[2], number)) {
            return Usage();
        }
        if (!RegisterHotKey(nullptr, id, mods, vk)) {
            return Fail(L"combination already held");
        }
        Print(L"holding");
        const DWORD start = GetTickCount();
        const DWORD span = static_cast<DWORD>(number * 1000);
        while (GetTickCount() - start < span) {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&m);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
        UnregisterHotKey(nullptr, id);
        return kOk;
    }
    if (cmd == L"reg-set" && need(3)) {
        return CmdRegSet(a);
    }
    if (cmd == L"target-window" && need(5)) {
        return CmdTargetWindow(a);
    }
    if (cmd.rfind(L"wait-", 0) == 0 && need(1)) {
        DWORD timeout = 10000;
        if (a.size() > 1) {
            if (!ParseNumber(a[1], number)) {
                return Usage();
            }
            timeout = static_cast<DWORD>(number);
        }
        if (cmd == L"wait-visible") {
            return WaitFor(a[0], Want::Visible, timeout);
        }
        if (cmd == L"wait-hidden") {
            return WaitFor(a[0], Want::Hidden, timeout);
        }
        if (cmd == L"wait-gone") {
            return WaitFor(a[0], Want::Gone, timeout);
        }
        return Usage();
    }

    // Everything below acts on one window.
    if (!need(1)) {
        return Usage();
    }
    HWND wnd = FindBySelector(a[0]);
    if (wnd == nullptr) {
        return Fail(L"no window " + a[0]);
    }
    if (cmd == L"find") {
        Print(HandleText(wnd));
    } else if (cmd == L"visible") {
        Print(IsWindowVisible(wnd) ? L"1" : L"0");
    } else if (cmd == L"enabled") {
        Print(IsWindowEnabled(wnd) ? L"1" : L"0");
    } else if (cmd == L"text" && need(2)) {
        if (!ParseNumber(a[1], number)) {
            return Usage();
        }
        HWND item = number == 0 ? wnd : GetDlgItem(wnd, static_cast<int>(number));
        if (item == nullptr) {
            return Fail(L"no control " + a[1]);
        }
        std::wstring text;
        if (!ControlText(item, text)) {
            return Fail(L"no answer to WM_GETTEXT");
        }
        Print(text);
    } else if (cmd == L"client-rect") {
        RECT r = {};
        POINT tl = {0, 0};
        if (!GetClientRect(wnd, &r) || !ClientToScreen(wnd, &tl)) {
            return Fail(L"no client rectangle");
        }
        OffsetRect(&r, tl.x, tl.y);
        Print(RectText(r));
    } else if (cmd == L"window-rect") {
        RECT r = {};
        if (!GetWindowRect(wnd, &r)) {
            return Fail(L"no window rectangle");
        }
        Print(RectText(r));
    } else if (cmd == L"ctrl-rect" && need(2)) {
        RECT r = {};
        if (!ParseNumber(a[1], number)) {
            return Usage();
        }
        HWND item = GetDlgItem(wnd, static_cast<int>(number));
        if (item == nullptr || !GetWindowRect(item, &r)) {
            return Fail(L"no control " + a[1]);
        }
        Print(RectText(r));
    } else if (cmd == L"owned") {
        for (HWND top : TopLevelWindows()) {
            if (GetWindow(top, GW_OWNER) == wnd) {
                Print(Describe(top));
            }
        }
    } else if (cmd == L"xid") {
        // The X window the Wine driver keeps for a top-level window.
        HANDLE xid = GetPropW(wnd, L"__wine_x11_whole_window");
        if (xid == nullptr) {
            return Fail(L"no X window for " + a[0]);
        }
        Print(std::to_wstring(reinterpret_cast<UINT_PTR>(xid)));
    } else if ((cmd == L"send" || cmd == L"post") && need(4)) {
        return CmdSend(wnd, a, cmd == L"post");
    } else if (cmd == L"tray-delete" && need(2)) {
        if (!ParseNumber(a[1], number)) {
            return Usage();
        }
        NOTIFYICONDATAW nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = wnd;
        nid.uID = static_cast<UINT>(number);
        if (!Shell_NotifyIconW(NIM_DELETE, &nid)) {
            return Fail(L"NIM_DELETE refused");
        }
        Print(L"deleted");
    } else {
        return Usage();
    }
    return kOk;
}
