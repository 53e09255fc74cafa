// Baseline for start-up and memory: the start-up calls the program makes (single-instance
// mutex, COM, common controls) and one modal dialog, nothing else.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "min_dialog.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"bench_min_dialog");
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&icc);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BENCH), nullptr, DialogProc, 0);
    CoUninitialize();
    return 0;
}
