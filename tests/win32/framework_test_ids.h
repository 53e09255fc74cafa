#pragma once

#define IDD_FW_PROBE 900
#define IDC_FW_FIRST 901
#define IDC_FW_SECOND 902
#define IDD_FW_ABSENT 999
#define IDS_FW_700 915
#define IDS_FW_ABSENT 919
