#pragma once

// Dialogs and strings of the property pages (Pages.rc).
#define IDD_INPUT_PAGE 101
#define IDD_PICTURE_PAGE 102
#define IDD_TUNER_PAGE 103

#define IDS_INPUT_TITLE 201
#define IDS_PICTURE_TITLE 202
#define IDS_TUNER_TITLE 203
#define IDS_SIGNAL_PRESENT 204
#define IDS_SIGNAL_NONE 205
#define IDS_AUDIO_MONO 206
#define IDS_AUDIO_STEREO 207
#define IDS_AUDIO_LANG_A 208
#define IDS_AUDIO_LANG_B 209
#define IDS_NO_CROSSBAR 210

#define IDC_INPUT_TUNER 1001
#define IDC_INPUT_COMPOSITE 1002
#define IDC_INPUT_SVIDEO 1003
#define IDC_AUDIO_ROUTED 1004
#define IDC_INPUT_NOTE 1005

// Slider and value label of each picture setting: slider = base, label = base + 1.
#define IDC_BRIGHTNESS 1101
#define IDC_CONTRAST 1103
#define IDC_HUE 1105
#define IDC_SATURATION 1107
#define IDC_SHARPNESS 1109
#define IDC_GAMMA 1111
#define IDC_DEFAULTS 1120

#define IDC_CHANNEL 1201
#define IDC_CHANNEL_SPIN 1202
#define IDC_SIGNAL 1203
#define IDC_AUDIO_MODE 1204
