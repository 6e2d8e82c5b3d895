#include "simcard/server/Registration.h"

#include "common/Ownership.h"
#include "simcard/server/Guids.h"
#include "simcard/server/Module.h"
#include "simcard/hooks/Options.h"

#include <dshow.h>

#include <cstdio>
#include <cwchar>

namespace {

struct ComClass {
    const CLSID* clsid;
    const wchar_t* description;
};

const ComClass comClasses[] = {
    {&CLSID_SimTvCaptureFilter, L"Narvo TV"},
    {&CLSID_SimTvAudioCaptureFilter, L"Narvo TV simulated audio capture"},
    {&CLSID_SimTvInputPage, L"Narvo TV video input page"},
    {&CLSID_SimTvPicturePage, L"Narvo TV picture page"},
    {&CLSID_SimTvTunerPage, L"Narvo TV tuner page"},
};

// Instances sort by name in the device list: the card without an input pin
// ("1") comes before the real one ("2").
const wchar_t VideoInstance[] = L"SimTvCard Video 2";
const wchar_t VideoInstanceWithoutInput[] = L"SimTvCard Video 1";
const wchar_t VideoFriendlyName[] = L"Narvo TV";

constexpr int StandardAudioDevices = 3;
constexpr int MostAudioDevices = 12;
const wchar_t* const audioNames[StandardAudioDevices] = {
    L"SimTV Line In",
    L"SimTV ステレオ ミキサー",
    L"SimTV Microphone",
};

void AudioInstance(int number, wchar_t* buffer, size_t size) {
    std::swprintf(buffer, size, L"SimTvCard Audio %02d", number);
}

void AudioFriendlyName(int number, wchar_t* buffer, size_t size) {
    if (number <= StandardAudioDevices) {
        std::swprintf(buffer, size, L"%ls", audioNames[number - 1]);
    } else {
        std::swprintf(buffer, size, L"SimTV Audio %d", number);
    }
}

void ClsidKeyPath(const CLSID& clsid, const wchar_t* suffix, wchar_t* path, size_t size) {
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    std::swprintf(path, size, L"CLSID\\%ls%ls", text, suffix);
}

HRESULT SetString(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    return HRESULT_FROM_WIN32(status);
}

HRESULT RegisterComClass(const ComClass& comClass, const wchar_t* modulePath) {
    wchar_t path[128];
    ClsidKeyPath(*comClass.clsid, L"", path, 128);
    HRESULT hr = SetString(HKEY_CLASSES_ROOT, path, nullptr, comClass.description);
    ClsidKeyPath(*comClass.clsid, L"\\InprocServer32", path, 128);
    if (SUCCEEDED(hr)) {
        hr = SetString(HKEY_CLASSES_ROOT, path, nullptr, modulePath);
    }
    if (SUCCEEDED(hr)) {
        hr = SetString(HKEY_CLASSES_ROOT, path, L"ThreadingModel", L"Both");
    }
    return hr;
}

HRESULT RegisterDevice(IFilterMapper2* mapper, const CLSID& category, const CLSID& clsid,
                       const wchar_t* instance, const wchar_t* friendlyName, const CLSID& pinCategory,
                       const GUID& majorType, const wchar_t* role) {
    REGPINTYPES type = {&majorType, &MEDIASUBTYPE_NULL};
    REGFILTERPINS2 pin = {};
    pin.dwFlags = REG_PINFLAG_B_OUTPUT;
    pin.cInstances = 1;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    pin.clsPinCategory = &pinCategory;
    REGFILTER2 filter = {};
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins2 = 1;
    filter.rgPins2 = &pin;
    HRESULT hr = mapper->RegisterFilter(clsid, friendlyName, nullptr, &category, instance, &filter);
    if (SUCCEEDED(hr) && role) {
        wchar_t categoryText[40];
        StringFromGUID2(category, categoryText, 40);
        wchar_t path[160];
        std::swprintf(path, 160, L"CLSID\\%ls\\Instance\\%ls", categoryText, instance);
        hr = SetString(HKEY_CLASSES_ROOT, path, L"SimTvRole", role);
    }
    return hr;
}

// An entry that is not there (never written, or gone already) is no failure
// to remove it; any other answer is, and the first one is kept.
bool IsMissing(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

void KeepFirstFailure(HRESULT& kept, HRESULT hr) {
    if (SUCCEEDED(kept) && FAILED(hr) && !IsMissing(hr)) {
        kept = hr;
    }
}

// Every instance any variant may have written is removed, whichever failed before.
HRESULT UnregisterDevices(IFilterMapper2* mapper) {
    HRESULT result = S_OK;
    KeepFirstFailure(result, mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, VideoInstance,
                                                      CLSID_SimTvCaptureFilter));
    KeepFirstFailure(result, mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory,
                                                      VideoInstanceWithoutInput, CLSID_SimTvCaptureFilter));
    for (int number = 1; number <= MostAudioDevices; ++number) {
        wchar_t instance[64];
        AudioInstance(number, instance, 64);
        KeepFirstFailure(result, mapper->UnregisterFilter(&CLSID_AudioInputDeviceCategory, instance,
                                                          CLSID_SimTvAudioCaptureFilter));
    }
    return result;
}

HRESULT RegisterDevices(IFilterMapper2* mapper, const RegistrationVariant& variant) {
    HRESULT hr = S_OK;
    if (variant.twoVideoDevices) {
        hr = RegisterDevice(mapper, CLSID_VideoInputDeviceCategory, CLSID_SimTvCaptureFilter,
                            VideoInstanceWithoutInput, VideoFriendlyName, PIN_CATEGORY_CAPTURE,
                            MEDIATYPE_Video, L"NoInputPin");
    }
    if (SUCCEEDED(hr)) {
        hr = RegisterDevice(mapper, CLSID_VideoInputDeviceCategory, CLSID_SimTvCaptureFilter, VideoInstance,
                            VideoFriendlyName, PIN_CATEGORY_CAPTURE, MEDIATYPE_Video, nullptr);
    }
    const int audioDevices = variant.twelveAudioDevices ? MostAudioDevices : StandardAudioDevices;
    for (int number = 1; SUCCEEDED(hr) && number <= audioDevices; ++number) {
        wchar_t instance[64];
        wchar_t friendlyName[64];
        AudioInstance(number, instance, 64);
        AudioFriendlyName(number, friendlyName, 64);
        hr = RegisterDevice(mapper, CLSID_AudioInputDeviceCategory, CLSID_SimTvAudioCaptureFilter, instance,
                            friendlyName, PIN_CATEGORY_CAPTURE, MEDIATYPE_Audio, nullptr);
    }
    return hr;
}

// COM for the length of a registration call; regsvr32 may already have it.
class ComScope {
public:
    ComScope() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result;
};

template <typename Action> HRESULT WithMapper(Action action) {
    ComScope com;
    ComRef<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    return action(mapper.Get());
}

} // namespace

namespace Registration {

HRESULT RegisterAll() {
    wchar_t modulePath[MAX_PATH];
    const DWORD length = GetModuleFileNameW(Module::Instance(), modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return E_FAIL;
    }
    for (const ComClass& comClass : comClasses) {
        const HRESULT hr = RegisterComClass(comClass, modulePath);
        if (FAILED(hr)) {
            return hr;
        }
    }
    const RegistrationVariant variant = RegistrationVariant::FromEnvironment();
    return WithMapper([&variant](IFilterMapper2* mapper) {
        UnregisterDevices(mapper); // a registration replaces the last one's device set, as far as it can
        return RegisterDevices(mapper, variant);
    });
}

HRESULT UnregisterAll() {
    HRESULT result = WithMapper(UnregisterDevices);
    // The classes go even where the devices could not: nothing left half-registered by choice.
    for (const ComClass& comClass : comClasses) {
        wchar_t path[128];
        ClsidKeyPath(*comClass.clsid, L"", path, 128);
        KeepFirstFailure(result, HRESULT_FROM_WIN32(RegDeleteTreeW(HKEY_CLASSES_ROOT, path)));
    }
    return result;
}

} // namespace Registration
