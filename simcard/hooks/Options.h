#pragma once

#include <windows.h>

// How the card is configured for tests: read from the environment of the
// process the DLL lives in. The names they take are in Catalogue.h.

// SIMTV_VARIANT: shape of the video capture filter, fixed when it is created.
struct CardVariant {
    bool previewPin = false;        // PreviewPin
    bool noCrossbar = false;        // NoCrossbar
    bool noTuner = false;           // NoTuner
    bool crossbarNoInputs = false;  // CrossbarNoInputs
    bool onePage = false;           // OnePage
    bool noFormats = false;         // NoFormats
    bool manyFormats = false;       // ManyFormats
    bool noInputPin = false;        // NoInputPin
    bool undrawableFormats = false; // UndrawableFormats

    static CardVariant FromEnvironment();
};

// SIMTV_REGISTER: which devices DllRegisterServer lists.
struct RegistrationVariant {
    bool twoVideoDevices = false;    // TwoVideoDevices
    bool twelveAudioDevices = false; // TwelveAudioDevices

    static RegistrationVariant FromEnvironment();
};

// SIMTV_FAIL: methods that answer E_FAIL, read afresh at each call so a test
// can change it while the card is in use. The list may name a method as
// "Part.Method" or as "Method" alone.
namespace Faults {
bool Injected(const char* qualifiedMethod);
}

// True when the comma-separated list holds the word (ASCII, case ignored).
bool ListContains(const char* list, const char* word);

// The environment variable as ASCII text; empty when unset or too long.
void ReadEnvironment(const wchar_t* name, char* buffer, size_t size);
