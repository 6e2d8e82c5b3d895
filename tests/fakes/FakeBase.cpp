#include "tests/fakes/FakeBase.h"

#include <ks.h>
#include <ksmedia.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

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
    // Task memory handed out and not yet freed; the spy may be called on any thread.
    std::mutex blocksLock;
    std::vector<std::pair<const void*, std::string>> blocks;
};

Registry& registry() {
    static Registry* instance = new Registry; // outlives every static fake
    return *instance;
}

// Sees every CoTaskMemFree of the process and crosses off the fakes' blocks.
class FreeWatch : public IMallocSpy {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *out = static_cast<IMallocSpy*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T size) override { return size; }
    STDMETHODIMP_(void*) PostAlloc(void* actual) override { return actual; }
    STDMETHODIMP_(void*) PreFree(void* request, WINBOOL) override {
        Registry& r = registry();
        std::lock_guard<std::mutex> hold(r.blocksLock);
        auto& blocks = r.blocks;
        blocks.erase(std::remove_if(blocks.begin(), blocks.end(),
                                    [request](const auto& block) { return block.first == request; }),
                     blocks.end());
        return request;
    }
    STDMETHODIMP_(void) PostFree(WINBOOL) override {}
    STDMETHODIMP_(SIZE_T) PreRealloc(void* request, SIZE_T size, void** newRequest, WINBOOL) override {
        *newRequest = request;
        return size;
    }
    STDMETHODIMP_(void*) PostRealloc(void* actual, WINBOOL) override { return actual; }
    STDMETHODIMP_(void*) PreGetSize(void* request, WINBOOL) override { return request; }
    STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T size, WINBOOL) override { return size; }
    STDMETHODIMP_(void*) PreDidAlloc(void* request, WINBOOL) override { return request; }
    STDMETHODIMP_(int) PostDidAlloc(void*, WINBOOL, int actual) override { return actual; }
    STDMETHODIMP_(void) PreHeapMinimize() override {}
    STDMETHODIMP_(void) PostHeapMinimize() override {}
};

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
    if (journalReleases) {
        Log("Release");
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

void FakeObject::Expect(std::initializer_list<const char*> methods) {
    expected.insert(methods.begin(), methods.end());
}

HRESULT FakeObject::Unexpected(const char* method, HRESULT answer) {
    if (!expected.count(method)) {
        registry().misuse.push_back("unexpected " + label + "." + method);
    }
    return answer;
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

namespace {

// Registered before the first block is handed out, and once for the whole
// process: revoking waits for every block allocated meanwhile, which a
// leaking test would never give back.
void StartWatching() {
    static const bool watching = [] {
        static FreeWatch watch;
        return CoRegisterMallocSpy(&watch) == S_OK;
    }();
    if (!watching) {
        registry().misuse.push_back("task memory cannot be watched");
    }
}

void Watch(const void* block, const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.blocksLock);
    r.blocks.emplace_back(block, name);
}

} // namespace

void* TaskAlloc(size_t size, const std::string& name) {
    StartWatching();
    void* block = CoTaskMemAlloc(size);
    Watch(block, name);
    return block;
}

BSTR TaskString(const wchar_t* text, const std::string& name) {
    // Freed strings go to a cache instead of the task allocator unless it is off.
    static const bool uncached = [] {
        using SetOaNoCacheFunction = void(WINAPI*)();
        const auto setOaNoCache = reinterpret_cast<SetOaNoCacheFunction>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("oleaut32.dll"), "SetOaNoCache")));
        if (setOaNoCache) {
            setOaNoCache();
        }
        return setOaNoCache != nullptr;
    }();
    if (!uncached) {
        registry().misuse.push_back("strings cannot be watched");
    }
    StartWatching();
    BSTR string = SysAllocString(text);
    // The block starts with the length, padded to a pointer's size.
    Watch(reinterpret_cast<const BYTE*>(string) - sizeof(void*), name);
    return string;
}

bool TaskFreed(const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> hold(r.blocksLock);
    return std::none_of(r.blocks.begin(), r.blocks.end(), [&name](const auto& entry) {
        return entry.second == name || entry.second.compare(0, name.size() + 1, name + " ") == 0;
    });
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
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> hold(r.blocksLock);
        for (const auto& block : r.blocks) {
            found.push_back(block.second + " not freed");
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
    std::lock_guard<std::mutex> hold(registry().blocksLock);
    registry().blocks.clear();
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
    {&IID_IPropertyPage, "IPropertyPage"},
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
