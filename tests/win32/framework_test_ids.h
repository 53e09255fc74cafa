// Resource ids of the framework tests' own resources.
#pragma once

#define IDD_FW_PROBE 900
#define IDC_FW_FIRST 901
#define IDC_FW_SECOND 902
#define IDD_FW_ABSENT 999

#define IDS_FW_SHORT 910
#define IDS_FW_254 911
#define IDS_FW_255 912
#define IDS_FW_256 913
#define IDS_FW_511 914
#define IDS_FW_700 915
#define IDS_FW_CHINESE 916
#define IDS_FW_ABSENT 919
