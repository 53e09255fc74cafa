// Observes the running program from outside and prints what it sees, one item a line.
// Exit code 0 when it could observe; 1, with the reason on stderr, when it could not.
// A window (SEL) is named by its exact title.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

struct Failed {
    std::wstring why;
};

// UTF-8 whatever the console's code page.
void Print(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\n');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(n) + 1, &written,
              nullptr);
}

const std::wstring& Arg(const Args& a, size_t i) {
    if (i >= a.size())
        throw Failed{L"missing argument"};
    return a[i];
}

int Num(const Args& a, size_t i) {
    return static_cast<int>(wcstoll(Arg(a, i).c_str(), nullptr, 0));
}

HWND Win(const Args& a) {
    HWND wnd = FindWindowW(nullptr, Arg(a, 0).c_str());
    if (wnd == nullptr)
        throw Failed{L"no window " + a[0]};
    return wnd;
}

void PrintRect(const RECT& r) {
    Print(std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
          std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom));
}

void PumpForever() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0)
        DispatchMessageW(&m);
}

const std::map<std::wstring, std::function<void(const Args&)>> kCommands = {
    {L"state", // SEL: visible, hidden or gone; foreground or not
     [](const Args& a) {
         HWND wnd = FindWindowW(nullptr, Arg(a, 0).c_str());
         Print(!wnd                           ? L"gone"
               : !IsWindowVisible(wnd)        ? L"hidden"
               : GetForegroundWindow() == wnd ? L"foreground"
                                              : L"visible");
     }},
    {L"text", // SEL ID: WM_GETTEXT, the one way to read another process's edit control
     [](const Args& a) {
         wchar_t buf[512] = {};
         DWORD_PTR n = 0;
         if (!SendMessageTimeoutW(GetDlgItem(Win(a), Num(a, 1)), WM_GETTEXT, 512,
                                  reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, &n))
             throw Failed{L"no answer to WM_GETTEXT"};
         Print(std::wstring(buf, n));
     }},
    {L"rect", // SEL [ID|client] in screen coordinates
     [](const Args& a) {
         RECT r{};
         HWND wnd = Win(a);
         if (a.size() > 1 && a[1] == L"client") {
             GetClientRect(wnd, &r);
             MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
         } else {
             GetWindowRect(a.size() > 1 ? GetDlgItem(wnd, Num(a, 1)) : wnd, &r);
         }
         PrintRect(r);
     }},
    {L"clip",
     [](const Args&) {
         RECT r{};
         GetClipCursor(&r);
         PrintRect(r);
     }},
    {L"menu", // the shown popup menu's rectangle
     [](const Args&) {
         for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr));)
             if (IsWindowVisible(menu)) {
                 RECT r{};
                 GetWindowRect(menu, &r);
                 return PrintRect(r);
             }
         throw Failed{L"no popup menu shown"};
     }},
    {L"unclip", [](const Args&) { ClipCursor(nullptr); }},
    {L"hotkey", // MODS VK: free or held by another program
     [](const Args& a) {
         const BOOL free = RegisterHotKey(nullptr, 1, Num(a, 0), Num(a, 1));
         UnregisterHotKey(nullptr, 1);
         Print(free ? L"free" : L"held");
     }},
    {L"tray", // the rectangles of the shown icons
     [](const Args&) {
         HWND tray = FindWindowW(nullptr, L"Wine System Tray");
         for (HWND icon = nullptr; tray && (icon = FindWindowExW(tray, icon, nullptr, nullptr));) {
             RECT r{};
             if (IsWindowVisible(icon) && GetWindowRect(icon, &r))
                 PrintRect(r);
         }
     }},
    {L"target", // TITLE X Y W H [clip]: a window to switch to, till killed; with clip, it
                // confines the cursor to itself once it is in the foreground
     [](const Args& a) {
         HWND wnd = CreateWindowExW(0, L"STATIC", Arg(a, 0).c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, Num(a, 1), Num(a, 2),
                                    Num(a, 3), Num(a, 4), nullptr, nullptr, nullptr, nullptr);
         Print(L"ready");
         MSG m;
         for (int i = 0; a.size() > 5 && i < 200 && GetForegroundWindow() != wnd; ++i, Sleep(25))
             while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
                 DispatchMessageW(&m);
         RECT r{};
         if (a.size() > 5 && !(GetWindowRect(wnd, &r) && ClipCursor(&r)))
             throw Failed{L"ClipCursor refused"};
         PumpForever();
     }},
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const auto command = kCommands.find(argc > 1 ? argv[1] : L"");
        if (command == kCommands.end())
            throw Failed{L"unknown command"};
        command->second(Args(argv + 2, argv + argc));
        return 0;
    } catch (const Failed& failed) {
        fputws((L"probe: " + failed.why + L"\n").c_str(), stderr);
        return 1;
    }
}
