#include "ui/dialog_helpers_win.h"

#include <shellapi.h>

#include "framework/app_module.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "ui/center_rule.h"
#include "framework/unique_handle.h"

namespace {
Rect ToRect(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

HICON LoadAppIcon(int cxMetric, int cyMetric) {
    return static_cast<HICON>(
        ::LoadImageW(g_appModule.GetResourceInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                     ::GetSystemMetrics(cxMetric), ::GetSystemMetrics(cyMetric), LR_DEFAULTCOLOR));
}
} // namespace

void OpenWebSite() {
    ::ShellExecuteW(nullptr, L"open", WebSiteUrl, nullptr, nullptr, SW_SHOWNORMAL);
}

void CenterDialog(HWND dialog, HWND centre) {
    if (!centre)
        centre = ::GetWindow(dialog, GW_OWNER);
    RECT dialogRect;
    if (!::GetWindowRect(dialog, &dialogRect))
        return;
    if (centre) {
        const LONG style = ::GetWindowLongW(centre, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_MINIMIZE))
            centre = nullptr;
    }
    HMONITOR monitor = ::MonitorFromWindow(centre ? centre : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !::GetMonitorInfoW(monitor, &info))
        return;
    RECT centreRect{};
    Rect centreArea;
    if (centre) {
        ::GetWindowRect(centre, &centreRect);
        centreArea = ToRect(centreRect);
    }
    const Point p = CenterDialogPosition(ToRect(dialogRect), centre ? &centreArea : nullptr,
                                         ToRect(info.rcWork));
    ::SetWindowPos(dialog, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetDialogIcons(HWND dialog) {
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadAppIcon(SM_CXICON, SM_CYICON)));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(LoadAppIcon(SM_CXSMICON, SM_CYSMICON)));
}

void ReleaseDialogIcons(HWND dialog) {
    // WM_SETICON hands back the icon it replaces.
    UniqueIcon bigIcon(reinterpret_cast<HICON>(::SendMessageW(dialog, WM_SETICON, ICON_BIG, 0)));
    UniqueIcon smallIcon(
        reinterpret_cast<HICON>(::SendMessageW(dialog, WM_SETICON, ICON_SMALL, 0)));
}

void ShowInfoMessage(HWND owner, UINT stringId) {
    const std::wstring text = LoadResourceString(stringId);
    ::MessageBoxW(owner, text.c_str(), nullptr, MB_OK | MB_ICONINFORMATION);
}
