#include "capture/DeviceEnumeration.h"

#include "common/DeviceName.h"

namespace DeviceEnumeration {

namespace {

// Calls perDevice(moniker, friendlyName) for each device of the category whose
// friendly name can be read, until it returns true. False when the category
// cannot be enumerated (an empty one answers S_FALSE).
template <typename PerDevice> bool WalkDevices(REFCLSID category, PerDevice perDevice) {
    ComRef<IEnumMoniker> monikers;
    {
        ComRef<ICreateDevEnum> devices;
        if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                             devices.PutVoid()) != S_OK) {
            return false;
        }
        if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK) {
            return false;
        }
    }
    if (!monikers) {
        return false;
    }
    monikers->Reset();
    for (;;) {
        ComRef<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK || !moniker) {
            break;
        }
        char friendlyName[FriendlyNameSize] = {};
        bool named = false;
        ComRef<IPropertyBag> bag;
        if (moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()) == S_OK && bag) {
            VARIANT value;
            VariantInit(&value);
            value.vt = VT_BSTR;
            if (bag->Read(L"FriendlyName", &value, nullptr) == S_OK) {
                if (value.vt == VT_BSTR && value.bstrVal) {
                    DeviceName::FromWide(friendlyName, sizeof friendlyName, value.bstrVal);
                    named = true;
                    SysFreeString(value.bstrVal);
                } else {
                    VariantClear(&value);
                }
            }
        }
        bag.Reset();
        if (named && perDevice(moniker.Get(), friendlyName)) {
            break;
        }
    }
    return true;
}

} // namespace

bool HasInputPin(IBaseFilter* filter) {
    if (!filter) {
        return false;
    }
    ComRef<IEnumPins> pins;
    if (filter->EnumPins(pins.Put()) != S_OK || !pins) {
        return false;
    }
    pins->Reset();
    for (;;) {
        ComRef<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK || !pin) {
            return false;
        }
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        const HRESULT result = pin->QueryDirection(&direction);
        pin.Reset();
        if (result == S_OK && direction == PINDIR_INPUT) {
            return true;
        }
    }
}

ComRef<IBaseFilter> FindVideoDevice(const char* name) {
    ComRef<IBaseFilter> found;
    WalkDevices(CLSID_VideoInputDeviceCategory, [&](IMoniker* moniker, const char* friendlyName) {
        if (lstrcmpiA(friendlyName, name) != 0) {
            return false;
        }
        ComRef<IBaseFilter> bound;
        moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, bound.PutVoid());
        // The card's capture filter has an analog input; a look-alike without one is passed over.
        if (!bound || !HasInputPin(bound.Get())) {
            return false;
        }
        found = std::move(bound);
        return true;
    });
    return found;
}

AudioDevice FindAudioDevice(const char* stored, int storedSize) {
    AudioDevice found;
    std::string wanted(stored);
    WalkDevices(CLSID_AudioInputDeviceCategory, [&](IMoniker* moniker, const char* friendlyName) {
        if (!wanted.empty() && !DeviceName::Matches(wanted.c_str(), storedSize, friendlyName)) {
            return false;
        }
        ComRef<IBaseFilter> bound;
        if (moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, bound.PutVoid()) != S_OK) {
            return false;
        }
        found.filter = std::move(bound);
        found.named = true;
        found.name = DeviceName::Fitted(friendlyName, storedSize);
        // A driver may answer S_OK and give nothing: the walk goes on under
        // that device's name, as the caller's field now holds it.
        wanted = found.name;
        return static_cast<bool>(found.filter);
    });
    return found;
}

std::vector<std::string> ListAudioDevices(size_t most) {
    std::vector<std::string> names;
    WalkDevices(CLSID_AudioInputDeviceCategory, [&](IMoniker*, const char* friendlyName) {
        names.emplace_back(friendlyName);
        return names.size() >= most;
    });
    return names;
}

} // namespace DeviceEnumeration
