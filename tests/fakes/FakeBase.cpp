#include "tests/fakes/FakeBase.h"

#include <ks.h>
#include <ksmedia.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fakes {

namespace {

// Asked of an interface pointer to reach the fake behind it (no reference taken).
const IID IID_FakeObject = {0x6e61726f, 0x6661, 0x6b65, {0x6f, 0x62, 0x6a, 0x65, 0x63, 0x74, 0x00, 0x01}};

struct Registry {
    std::vector<FakeObject*> live;
    std::vector<FakeObject*> adopted;
    std::vector<std::string> journal;
    std::vector<std::string> misuse;
    std::vector<std::pair<GUID, std::string>> names;
};

Registry& registry() {
    static Registry* instance = new Registry; // outlives every static fake
    return *instance;
}

} // namespace

FakeObject::FakeObject(std::string label) : label(std::move(label)) {
    registry().live.push_back(this);
}

FakeObject::~FakeObject() {
    auto& live = registry().live;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void FakeObject::Answer(REFIID iid, void* pointer) {
    table.emplace_back(iid, pointer);
}

HRESULT FakeObject::Query(REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    if (IsEqualIID(iid, IID_FakeObject)) {
        *out = this;
        return S_OK;
    }
    if (IsEqualIID(iid, IID_IUnknown) && !table.empty()) {
        *out = table.front().second;
        Acquire();
        return S_OK;
    }
    for (const auto& entry : table) {
        if (IsEqualIID(iid, entry.first)) {
            *out = entry.second;
            Acquire();
            return S_OK;
        }
    }
    for (const auto& entry : also) {
        if (IsEqualIID(iid, entry.first) && entry.second) {
            return entry.second->QueryInterface(iid, out);
        }
    }
    return E_NOINTERFACE;
}

ULONG FakeObject::Acquire() {
    if (finished) {
        registry().misuse.push_back(label + " used after its last Release");
    }
    return static_cast<ULONG>(++references);
}

ULONG FakeObject::Drop() {
    if (references <= 0) {
        registry().misuse.push_back(label + " released more often than referenced");
        return 0;
    }
    if (--references == 0) {
        finished = adopted;
        OnFinalRelease();
    }
    return static_cast<ULONG>(references);
}

void FakeObject::Log(const std::string& call) const {
    fakes::Log(label + "." + call);
}

void Log(std::string line) {
    registry().journal.push_back(std::move(line));
}

const std::vector<std::string>& Journal() {
    return registry().journal;
}

std::vector<std::string> JournalOf(std::initializer_list<const char*> prefixes) {
    std::vector<std::string> lines;
    for (const auto& line : registry().journal) {
        for (const char* prefix : prefixes) {
            if (line.compare(0, strlen(prefix), prefix) == 0) {
                lines.push_back(line);
                break;
            }
        }
    }
    return lines;
}

void ClearJournal() {
    registry().journal.clear();
}

void AdoptObject(FakeObject* object) {
    object->adopted = true;
    registry().adopted.push_back(object);
}

FakeObject* FakeOf(IUnknown* unknown) {
    void* found = nullptr;
    if (!unknown || unknown->QueryInterface(IID_FakeObject, &found) != S_OK) {
        return nullptr;
    }
    return static_cast<FakeObject*>(found);
}

std::string LabelOf(IUnknown* unknown) {
    if (!unknown) {
        return "NULL";
    }
    FakeObject* fake = FakeOf(unknown);
    return fake ? fake->Label() : "?";
}

std::vector<std::string> Unreleased() {
    std::vector<std::string> found;
    for (FakeObject* object : registry().live) {
        if (object->References() != 0) {
            found.push_back(object->Label() + " holds " + std::to_string(object->References()));
        }
    }
    for (const auto& line : registry().misuse) {
        found.push_back(line);
    }
    return found;
}

void Reset() {
    auto adopted = std::move(registry().adopted);
    registry().adopted.clear();
    for (FakeObject* object : adopted) {
        delete object;
    }
    registry().journal.clear();
    registry().misuse.clear();
}

std::string Utf8(const wchar_t* text) {
    if (!text) {
        return "NULL";
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return "";
    }
    std::string converted(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &converted[0], size, nullptr, nullptr);
    converted.resize(size - 1);
    return converted;
}

void NameGuid(REFGUID guid, const char* name) {
    registry().names.emplace_back(guid, name);
}

namespace {

// Some classes share their GUID with their interface (the capture graph
// builder): classes are looked up in their own table.
const std::pair<const GUID*, const char*> knownClasses[] = {
    {&CLSID_FilterGraph, "FilterGraph"},
    {&CLSID_CaptureGraphBuilder, "CaptureGraphBuilder"},
    {&CLSID_SystemDeviceEnum, "SystemDeviceEnum"},
};

const std::pair<const GUID*, const char*> knownGuids[] = {
    {&PIN_CATEGORY_PREVIEW, "PREVIEW"},
    {&PIN_CATEGORY_CAPTURE, "CAPTURE"},
    {&CLSID_VideoInputDeviceCategory, "VideoInputDeviceCategory"},
    {&CLSID_AudioInputDeviceCategory, "AudioInputDeviceCategory"},
    {&IID_IUnknown, "IUnknown"},
    {&IID_IBaseFilter, "IBaseFilter"},
    {&IID_IPin, "IPin"},
    {&IID_IPropertyBag, "IPropertyBag"},
    {&IID_IGraphBuilder, "IGraphBuilder"},
    {&IID_IMediaControl, "IMediaControl"},
    {&IID_ICaptureGraphBuilder, "ICaptureGraphBuilder"},
    {&IID_ICreateDevEnum, "ICreateDevEnum"},
    {&IID_IAMVideoCompression, "IAMVideoCompression"},
    {&IID_IAMStreamConfig, "IAMStreamConfig"},
    {&IID_IAMCrossbar, "IAMCrossbar"},
    {&IID_IAMTVTuner, "IAMTVTuner"},
    {&IID_IAMTVAudio, "IAMTVAudio"},
    {&IID_IAMVideoProcAmp, "IAMVideoProcAmp"},
    {&IID_ISpecifyPropertyPages, "ISpecifyPropertyPages"},
    {&IID_IVideoWindow, "IVideoWindow"},
};

template <size_t N>
const char* Lookup(const std::pair<const GUID*, const char*> (&table)[N], const GUID& guid) {
    for (const auto& entry : table) {
        if (IsEqualGUID(guid, *entry.first)) {
            return entry.second;
        }
    }
    return nullptr;
}

std::string GuidText(const GUID& guid) {
    for (const auto& entry : registry().names) {
        if (IsEqualGUID(guid, entry.first)) {
            return entry.second;
        }
    }
    char text[40];
    snprintf(text, sizeof text, "{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
             static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
             guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

} // namespace

std::string NameOf(const GUID* guid) {
    if (!guid) {
        return "NULL";
    }
    const char* name = Lookup(knownGuids, *guid);
    if (!name) {
        name = Lookup(knownClasses, *guid);
    }
    return name ? name : GuidText(*guid);
}

std::string ClassNameOf(REFCLSID clsid) {
    const char* name = Lookup(knownClasses, clsid);
    return name ? name : NameOf(&clsid);
}

std::string Hresult(HRESULT result) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(result));
    return text;
}

} // namespace fakes
