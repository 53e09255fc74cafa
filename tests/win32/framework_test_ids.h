#pragma once

#define IDD_FW_PROBE 900
