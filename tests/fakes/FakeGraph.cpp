#include "tests/fakes/FakeGraph.h"

#include <cstdio>
#include <string>

namespace fakes {

namespace {

// The name a filter argument gets in a journal line.
std::string FilterName(IUnknown* filter) {
    return LabelOf(filter);
}

} // namespace

FakeGraph::FakeGraph() : Fake("graph", {IID_IGraphBuilder, IID_IMediaControl}) {
    FakeObject::Answer(IID_IFilterGraph, static_cast<IGraphBuilder*>(this));
    FakeObject::Answer(IID_IDispatch, static_cast<IMediaControl*>(this));
}

STDMETHODIMP FakeGraph::QueryInterface(REFIID iid, void** out) {
    if (!mediaControl && IsEqualIID(iid, IID_IMediaControl)) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return Fake::QueryInterface(iid, out);
}

bool FakeGraph::Holds(IBaseFilter* filter) const {
    for (const auto& entry : filters) {
        if (entry.second == filter) {
            return true;
        }
    }
    return false;
}

STDMETHODIMP FakeGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
    Log("AddFilter(" + FilterName(filter) + ", " + Utf8(name) + ")");
    HRESULT answer = S_OK;
    if (!addFilterResults.empty()) {
        answer = addFilterResults.front();
        addFilterResults.erase(addFilterResults.begin());
        if (FAILED(answer)) {
            return answer;
        }
    }
    if (!filter) {
        return E_POINTER;
    }
    // Another success code (VFW_S_DUPLICATE_NAME) still puts the filter in the graph.
    filter->AddRef();
    filters.emplace_back(name ? name : L"", filter);
    return answer;
}

STDMETHODIMP FakeGraph::RemoveFilter(IBaseFilter* filter) {
    Log("RemoveFilter(" + FilterName(filter) + ")");
    if (removeFilterResult != S_OK) {
        return removeFilterResult;
    }
    for (auto entry = filters.begin(); entry != filters.end(); ++entry) {
        if (entry->second == filter) {
            filters.erase(entry);
            filter->Release();
            return S_OK;
        }
    }
    return E_FAIL;
}

STDMETHODIMP FakeGraph::EnumFilters(IEnumFilters** result) {
    Log("EnumFilters");
    *result = nullptr;
    if (enumFiltersResult != S_OK) {
        return enumFiltersResult;
    }
    *result = Adopt<FakeFilterEnum>(*this);
    (*result)->AddRef();
    return S_OK;
}

FakeFilterEnum::FakeFilterEnum(const FakeGraph& graph) : FakeListEnum("filters", IID_IEnumFilters, {}) {
    for (const auto& entry : graph.filters) {
        items.push_back(entry.second);
    }
}

STDMETHODIMP FakeGraph::FindFilterByName(LPCWSTR name, IBaseFilter** filter) {
    Log("FindFilterByName(" + Utf8(name) + ")");
    *filter = nullptr;
    for (const auto& entry : filters) {
        if (entry.first == name) { // exact and case-sensitive, as the platform's
            *filter = entry.second;
            entry.second->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FakeGraph::Disconnect(IPin* pin) {
    Log("Disconnect(" + LabelOf(pin) + ")");
    if (disconnectResult != S_OK) {
        return disconnectResult;
    }
    // Only the pin given, as the platform's graph does.
    if (auto* fake = dynamic_cast<FakePin*>(FakeOf(pin))) {
        fake->peer = nullptr;
    }
    return S_OK;
}

STDMETHODIMP FakeGraph::SetDefaultSyncSource() {
    Log("SetDefaultSyncSource");
    return S_OK;
}

STDMETHODIMP FakeGraph::Run() {
    Log("Run");
    if (SUCCEEDED(runResult)) {
        state = stateAfterRun;
    }
    return runResult;
}

STDMETHODIMP FakeGraph::Stop() {
    Log("Stop");
    state = State_Stopped;
    return S_OK;
}

STDMETHODIMP FakeGraph::GetState(LONG timeout, OAFilterState* result) {
    Log("GetState(" + std::to_string(timeout) + ")");
    *result = state;
    return getStateResult;
}

STDMETHODIMP FakeGraph::StopWhenReady() {
    Log("StopWhenReady");
    if (SUCCEEDED(stopWhenReadyResult)) {
        state = State_Stopped;
    }
    return stopWhenReadyResult;
}

void FakeGraph::OnFinalRelease() {
    auto held = std::move(filters);
    filters.clear();
    for (auto& entry : held) {
        entry.second->Release();
    }
}

FakeBuilder::FakeBuilder() : Fake("builder", {IID_ICaptureGraphBuilder}) {}

STDMETHODIMP FakeBuilder::SetFiltergraph(IGraphBuilder* newGraph) {
    Log("SetFiltergraph(" + LabelOf(newGraph) + ")");
    if (!newGraph) {
        return E_POINTER;
    }
    if (setFiltergraphResult != S_OK) {
        return setFiltergraphResult;
    }
    if (graph) {
        return E_UNEXPECTED;
    }
    graph = newGraph;
    graph->AddRef();
    return S_OK;
}

STDMETHODIMP FakeBuilder::GetFiltergraph(IGraphBuilder** result) {
    Log("GetFiltergraph");
    *result = graph;
    if (!graph) {
        return E_UNEXPECTED;
    }
    graph->AddRef();
    return S_OK;
}

STDMETHODIMP FakeBuilder::FindInterface(const GUID* category, IBaseFilter* filter, REFIID iid,
                                        void** result) {
    Log("FindInterface(" + NameOf(category) + ", " + LabelOf(filter) + ", " + NameOf(&iid) + ")");
    *result = nullptr;
    for (const auto& entry : interfaces) {
        const bool sameCategory = (!category && !entry.category) ||
                                  (category && entry.category && IsEqualGUID(*category, *entry.category));
        if (sameCategory && IsEqualIID(iid, entry.iid)) {
            if (!entry.object) {
                return entry.answer;
            }
            const HRESULT found = entry.object->QueryInterface(iid, result);
            return found == S_OK ? entry.answer : found;
        }
    }
    return E_NOINTERFACE;
}

STDMETHODIMP FakeBuilder::RenderStream(const GUID* category, IUnknown* source, IBaseFilter* compressor,
                                       IBaseFilter* renderer) {
    Log("RenderStream(" + NameOf(category) + ", " + LabelOf(source) + ", " + LabelOf(compressor) + ", " +
        LabelOf(renderer) + ")");
    int serial = 0;
    for (IBaseFilter* added : renderAdds) {
        const std::wstring name = L"000" + std::to_wstring(++serial);
        if (graph) {
            graph->AddFilter(added, name.c_str());
        }
    }
    return renderStreamResult;
}

void FakeBuilder::OnFinalRelease() {
    if (graph) {
        IGraphBuilder* held = graph;
        graph = nullptr;
        held->Release();
    }
}

FakeCompression::FakeCompression() : Fake("compression", {IID_IAMVideoCompression}) {}

STDMETHODIMP FakeCompression::put_Quality(double value) {
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    Log(std::string("put_Quality(") + text + ")");
    if (putQualityResult == S_OK) {
        quality = value;
    }
    return putQualityResult;
}

STDMETHODIMP FakeCompression::get_Quality(double* value) {
    *value = quality;
    return S_OK;
}

STDMETHODIMP FakeCompression::GetInfo(LPWSTR version, int* versionSize, LPWSTR description,
                                      int* descriptionSize, LONG* keyFrameRate, LONG* framesPerKey,
                                      double* quality, LONG* caps) {
    Log(std::string("GetInfo(") +
        (version || versionSize || description || descriptionSize ? "texts" : "no texts") + ")");
    if (getInfoResult != S_OK) {
        return getInfoResult;
    }
    if (keyFrameRate) {
        *keyFrameRate = 15;
    }
    if (framesPerKey) {
        *framesPerKey = 0;
    }
    if (quality) {
        *quality = defaultQuality;
    }
    if (caps) {
        *caps = capabilities;
    }
    return S_OK;
}

FakeClass::FakeClass(REFCLSID clsid, IUnknown* object)
    : Fake("factory[" + ClassNameOf(clsid) + "]", {IID_IClassFactory}), clsid(clsid), object(object) {}

FakeClass::~FakeClass() {
    Revoke();
}

void FakeClass::Register() {
    if (cookie == 0) {
        CoRegisterClassObject(clsid, static_cast<IClassFactory*>(this), CLSCTX_INPROC_SERVER,
                              REGCLS_MULTIPLEUSE, &cookie);
    }
}

void FakeClass::Revoke() {
    if (cookie != 0) {
        CoRevokeClassObject(cookie);
        cookie = 0;
    }
}

STDMETHODIMP FakeClass::CreateInstance(IUnknown* outer, REFIID iid, void** result) {
    Log("CreateInstance(" + NameOf(&iid) + ")");
    *result = nullptr;
    if (outer) {
        return CLASS_E_NOAGGREGATION;
    }
    if (!results.empty()) {
        const HRESULT answer = results.front();
        results.erase(results.begin());
        if (answer != S_OK) {
            return answer;
        }
    }
    if (!object) {
        return REGDB_E_CLASSNOTREG;
    }
    return object->QueryInterface(iid, result);
}

} // namespace fakes
