#pragma once
#include <windows.h>

// The maker's web site: the link controls' text and what OpenWebSite opens.
inline constexpr wchar_t WebSiteUrl[] = L"https://www.corvane-studio.example";

// Opens WebSiteUrl in the default browser without waiting.
void OpenWebSite();

// Centres a top-level dialog over `centre` (or its owner), or in the work area of
// the nearest monitor when that window is missing, hidden or minimized.
void CenterDialog(HWND dialog, HWND centre = nullptr);

// Big and small window icons from icon group 201, loaded anew on each call.
void SetDialogIcons(HWND dialog);
// Destroys the icons SetDialogIcons gave the dialog; call while the window still exists.
void ReleaseDialogIcons(HWND dialog);

// Message box owned by `owner` with a string-table text, no caption, OK and information icon.
void ShowInfoMessage(HWND owner, UINT stringId);
