#include "tests/simcard/SimcardTestSupport.h"

#include "simcard/server/Guids.h"

#include <fstream>

ScopedEnvironment::ScopedEnvironment(const wchar_t* variable, const wchar_t* value) : name(variable) {
    wchar_t buffer[2048];
    const DWORD length = GetEnvironmentVariableW(variable, buffer, 2048);
    hadValue = length > 0 && length < 2048;
    if (hadValue) {
        previous = buffer;
    }
    SetEnvironmentVariableW(variable, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    SetEnvironmentVariableW(name.c_str(), hadValue ? previous.c_str() : nullptr);
}

namespace {

template <typename PerDevice> void WalkDevices(REFCLSID category, PerDevice perDevice) {
    ComRef<ICreateDevEnum> devices;
    if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                         devices.PutVoid()) != S_OK) {
        return;
    }
    ComRef<IEnumMoniker> monikers;
    if (devices->CreateClassEnumerator(category, monikers.Put(), 0) != S_OK || !monikers) {
        return;
    }
    for (;;) {
        ComRef<IMoniker> moniker;
        if (monikers->Next(1, moniker.Put(), nullptr) != S_OK) {
            return;
        }
        ComRef<IPropertyBag> bag;
        if (moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()) != S_OK) {
            continue;
        }
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        if (bag->Read(L"FriendlyName", &value, nullptr) == S_OK) {
            const std::wstring name = value.bstrVal ? value.bstrVal : L"";
            VariantClear(&value);
            if (perDevice(moniker.Get(), name)) {
                return;
            }
        }
    }
}

} // namespace

std::vector<std::wstring> DeviceNames(REFCLSID category) {
    std::vector<std::wstring> names;
    WalkDevices(category, [&names](IMoniker*, const std::wstring& name) {
        names.push_back(name);
        return false;
    });
    return names;
}

ComRef<IBaseFilter> BindDevice(REFCLSID category, const wchar_t* wanted, int index) {
    ComRef<IBaseFilter> filter;
    WalkDevices(category, [&](IMoniker* moniker, const std::wstring& name) {
        if (name != wanted || index-- > 0) {
            return false;
        }
        moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.PutVoid());
        return true;
    });
    return filter;
}

ComRef<IBaseFilter> CreateCard() {
    ComRef<IBaseFilter> filter;
    CoCreateInstance(CLSID_SimTvCaptureFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                     filter.PutVoid());
    return filter;
}

namespace {

bool PinCategoryIs(IPin* pin, const GUID& category) {
    ComRef<IKsPropertySet> properties = Query<IKsPropertySet>(pin, IID_IKsPropertySet);
    GUID actual = GUID_NULL;
    DWORD returned = 0;
    return properties &&
           properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &actual, sizeof actual,
                           &returned) == S_OK &&
           actual == category;
}

template <typename PerPin> void WalkPins(IBaseFilter* filter, PerPin perPin) {
    ComRef<IEnumPins> pins;
    if (!filter || filter->EnumPins(pins.Put()) != S_OK) {
        return;
    }
    for (;;) {
        ComRef<IPin> pin;
        if (pins->Next(1, pin.Put(), nullptr) != S_OK) {
            return;
        }
        PIN_DIRECTION direction;
        if (pin->QueryDirection(&direction) == S_OK && perPin(pin.Get(), direction)) {
            return;
        }
    }
}

} // namespace

ComRef<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION wanted, const GUID* category) {
    ComRef<IPin> found;
    WalkPins(filter, [&](IPin* pin, PIN_DIRECTION direction) {
        if (direction != wanted || (category && !PinCategoryIs(pin, *category))) {
            return false;
        }
        pin->AddRef();
        *found.Put() = pin;
        return true;
    });
    return found;
}

int CountPins(IBaseFilter* filter, PIN_DIRECTION wanted) {
    int count = 0;
    WalkPins(filter, [&](IPin*, PIN_DIRECTION direction) {
        count += direction == wanted ? 1 : 0;
        return false;
    });
    return count;
}

JournalFile::JournalFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"stv", 0, path);
    DeleteFileW(path);
}

JournalFile::~JournalFile() {
    DeleteFileW(path);
}

std::vector<std::string> JournalFile::Lines() const {
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lines;
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool JournalFile::Contains(const std::string& line) const {
    for (const std::string& candidate : Lines()) {
        if (candidate == line) {
            return true;
        }
    }
    return false;
}

Rgb PixelAt(const std::vector<BYTE>& frame, const GUID& subtype, const BITMAPINFOHEADER& header, int x,
            int y) {
    const int bits = header.biBitCount;
    const int stride = ((header.biWidth * bits / 8) + 3) & ~3;
    const int row = header.biHeight > 0 ? header.biHeight - 1 - y : y;
    const size_t offset = static_cast<size_t>(row) * stride + static_cast<size_t>(x) * bits / 8;
    if (offset + bits / 8 > frame.size()) {
        return {-1, -1, -1};
    }
    const BYTE* p = frame.data() + offset;
    if (bits == 32 || bits == 24) {
        return {p[2], p[1], p[0]};
    }
    const int value = p[0] | (p[1] << 8);
    if (subtype == MEDIASUBTYPE_RGB565) {
        const int r = (value >> 11) & 31, g = (value >> 5) & 63, b = value & 31;
        return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
    }
    const int r = (value >> 10) & 31, g = (value >> 5) & 31, b = value & 31;
    return {(r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2)};
}

FILTER_STATE StateAfterChange(IGraphBuilder* graph) {
    ComRef<IMediaControl> control = Query<IMediaControl>(graph, IID_IMediaControl);
    OAFilterState state = -1;
    if (control) {
        control->GetState(500, &state);
    }
    return static_cast<FILTER_STATE>(state);
}

HRESULT CardCanUnloadNow() {
    HMODULE card = GetModuleHandleW(L"SimTvCard.ax");
    if (!card) {
        return S_OK; // not loaded at all
    }
    using CanUnload = HRESULT(WINAPI*)();
    auto canUnload =
        reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(card, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}
