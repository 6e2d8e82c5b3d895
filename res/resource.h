// Resource and command identifiers shared by NarvoTV.rc and the code.
#pragma once

#define IDI_NARVOTV 130
#define IDR_CONTEXT_MENU 131

// Placeholders; generated items take the placeholder's id plus a one-based number.
#define ID_SOUND_DEVICE 500
#define ID_VIDEO_FORMAT 600
#define ID_CHANNEL_ITEM 700

#define ID_APP_QUIT 32774
#define ID_AUDIO_CARD 32775
#define ID_QUALITY_HIGH 32776
#define ID_QUALITY_MEDIUM 32777
#define ID_QUALITY_LOW 32778
#define ID_INPUT_TUNER 32779
#define ID_INPUT_VIDEO 32780
#define ID_INPUT_SVIDEO 32781
#define ID_CHANNEL_SETUP 32782
#define ID_PICTURE_ADJUST 32783
#define ID_FRAMERATE_30 32784
#define ID_FRAMERATE_15 32785
#define ID_FRAMERATE_5 32786
#define ID_FRAMERATE_CUSTOM 32787
#define ID_KEEP_ASPECT 32788
#define ID_TOPMOST 32789
#define ID_AUDIO_MUTE 32790
#define ID_HELP_CONTENTS 32791
#define ID_VERSION_INFO 32792
