// Observes the running program from outside and prints what it sees, one item a line. Exit
// code 1, with the reason on stderr, when it could not observe. A window (SEL) is
// named by its exact title.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

void PrintRect(const RECT& r) {
    wprintf(L"%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
}

int Num(const Args& a, size_t i) {
    return _wtoi(a.at(i).c_str());
}

HWND Win(const std::wstring& title) {
    if (HWND wnd = FindWindowW(nullptr, title.c_str()))
        return wnd;
    throw L"no such window";
}

const std::map<std::wstring, std::function<void(const Args&)>> kCommands = {
    {L"state", // SEL: gone, hidden, visible or foreground
     [](const Args& a) {
         HWND wnd = FindWindowW(nullptr, a.at(0).c_str());
         wprintf(L"%ls\n", !wnd                           ? L"gone"
                           : !IsWindowVisible(wnd)        ? L"hidden"
                           : GetForegroundWindow() == wnd ? L"foreground"
                                                          : L"visible");
     }},
    {L"rect", // SEL [ID|client] in screen coordinates
     [](const Args& a) {
         RECT r{};
         HWND wnd = Win(a.at(0));
         if (a.size() > 1 && a[1] == L"client") {
             GetClientRect(wnd, &r);
             MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
         } else {
             GetWindowRect(a.size() > 1 ? GetDlgItem(wnd, Num(a, 1)) : wnd, &r);
         }
         PrintRect(r);
     }},
    {L"clip", // [free]: frees the cursor first, as another program does
     [](const Args& a) {
         RECT r{};
         if (!a.empty())
             ClipCursor(nullptr);
         GetClipCursor(&r);
         PrintRect(r);
     }},
    {L"shown", // CLASS [PARENT]: the rectangles of the shown windows of CLASS ("-": any),
               // top-level or children of the window titled PARENT
     [](const Args& a) {
         HWND parent = a.size() > 1 ? Win(a[1]) : nullptr;
         RECT r{};
         for (HWND w = nullptr;
              (w = FindWindowExW(parent, w, a.at(0) == L"-" ? nullptr : a[0].c_str(), nullptr));)
             if (IsWindowVisible(w) && GetWindowRect(w, &r))
                 PrintRect(r);
     }},
    {L"target", // TITLE X Y W H: a window to switch to, till killed
     [](const Args& a) {
         CreateWindowExW(0, L"STATIC", a.at(0).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, Num(a, 1),
                         Num(a, 2), Num(a, 3), Num(a, 4), nullptr, nullptr, nullptr, nullptr);
         MSG m;
         while (GetMessageW(&m, nullptr, 0, 0) > 0)
             DispatchMessageW(&m);
     }},
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        kCommands.at(argc > 1 ? argv[1] : L"")(Args(argv + 2, argv + argc));
        return 0;
    } catch (const wchar_t* why) {
        fwprintf(stderr, L"probe: %ls\n", why);
    } catch (const std::exception& error) {
        fprintf(stderr, "probe: %s\n", error.what()); // an unknown command or a missing argument
    }
    return 1;
}
