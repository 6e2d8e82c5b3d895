// Dialog templates and control identifiers of RADO_DU.DLL.
#pragma once

#define IDD_VERSION_INFO 100
#define IDD_FRAME_RATE 101
#define IDD_PRESET_CHANNEL 102

#define IDC_PROGRAM_NAME 1000
#define IDC_VERSION 1001
#define IDC_COPYRIGHT 1002
#define IDC_SETTINGS_PATH 1003

#define IDC_RATE 1010
#define IDC_RATE_SPIN 1011

// One message line per dialog that can refuse an entry.
#define IDC_MESSAGE 1020

// Preset n (1 to 15) uses IDC_CHANNEL_BASE + n and IDC_NAME_BASE + n.
#define IDC_CHANNEL_BASE 1100
#define IDC_NAME_BASE 1200
