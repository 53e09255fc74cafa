// Resource, control, command and string ids shared by both languages.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
// Id of the labels, group boxes and the icon in the dialog templates: the 16-bit -1.
// windres would store (-1) as 0xFFFFFFFF in an extended template.
#define IDC_STATIC16 0xFFFF

#define IDD_MAIN 101
#define IDD_ABOUT 102

#define IDI_APP 201
#define IDR_TRAYMENU 202
#define IDI_TRAY 301

#define IDC_HOTKEY 1001
#define IDC_LEFT 1002
#define IDC_TOP 1003
#define IDC_RIGHT 1004
#define IDC_BOTTOM 1005
#define IDC_LINK 1006

#define ID_APP_ABOUT 57664
#define ID_TRAY_OPTION 2001
#define ID_TRAY_QUIT 2002
#define ID_TRAY_ABOUT 2003
#define ID_TRAY_WEBSITE 2004

#define IDS_TRAY_TIP 10001
#define IDS_HOTKEY_FAILED 10002
#define IDS_SAVE_FAILED 10003
