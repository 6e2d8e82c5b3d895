#pragma once

// The filter graph (with its media control), the capture graph builder, the
// video compression interface, and class factories that stand them in for the
// platform's own through CoRegisterClassObject.
// Journal labels: "graph", "builder", "compression", "factory[<class>]".

#include "tests/fakes/FakeFilters.h"

namespace fakes {

class FakeGraph : public Fake<IGraphBuilder, IMediaControl> {
public:
    FakeGraph();

    // Filters in the graph with their names; the graph holds a reference to each.
    std::vector<std::pair<std::wstring, IBaseFilter*>> filters;
    // Answers for successive AddFilter calls; S_OK once they run out. A
    // success code other than S_OK adds the filter all the same.
    std::vector<HRESULT> addFilterResults;
    HRESULT removeFilterResult = S_OK;
    HRESULT disconnectResult = S_OK;
    bool mediaControl = true; // false: QueryInterface(IMediaControl) fails
    HRESULT runResult = S_OK;
    OAFilterState state = State_Stopped;
    OAFilterState stateAfterRun = State_Running; // taken when Run succeeds in any way
    HRESULT getStateResult = S_OK;
    HRESULT stopWhenReadyResult = S_OK;
    HRESULT enumFiltersResult = S_OK;

    bool Holds(IBaseFilter* filter) const;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

    // IFilterGraph
    STDMETHODIMP AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    STDMETHODIMP RemoveFilter(IBaseFilter* filter) override;
    STDMETHODIMP EnumFilters(IEnumFilters** result) override;
    STDMETHODIMP FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override {
        return Unexpected("ConnectDirect");
    }
    STDMETHODIMP Reconnect(IPin*) override { return Unexpected("Reconnect"); }
    STDMETHODIMP Disconnect(IPin* pin) override;
    STDMETHODIMP SetDefaultSyncSource() override;
    // IGraphBuilder
    STDMETHODIMP Connect(IPin*, IPin*) override { return Unexpected("Connect"); }
    STDMETHODIMP Render(IPin*) override { return Unexpected("Render"); }
    STDMETHODIMP RenderFile(LPCWSTR, LPCWSTR) override { return Unexpected("RenderFile"); }
    STDMETHODIMP AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter**) override {
        return Unexpected("AddSourceFilter");
    }
    STDMETHODIMP SetLogFile(DWORD_PTR) override { return Unexpected("SetLogFile"); }
    STDMETHODIMP Abort() override { return Unexpected("Abort"); }
    STDMETHODIMP ShouldOperationContinue() override { return Unexpected("ShouldOperationContinue", S_OK); }
    FAKE_UNEXPECTED_DISPATCH
    // IMediaControl
    STDMETHODIMP Run() override;
    STDMETHODIMP Pause() override { return Unexpected("Pause"); }
    STDMETHODIMP Stop() override;
    STDMETHODIMP GetState(LONG timeout, OAFilterState* result) override;
    STDMETHODIMP RenderFile(BSTR) override { return Unexpected("RenderFile"); }
    STDMETHODIMP AddSourceFilter(BSTR, IDispatch**) override { return Unexpected("AddSourceFilter"); }
    STDMETHODIMP get_FilterCollection(IDispatch**) override { return Unexpected("get_FilterCollection"); }
    STDMETHODIMP get_RegFilterCollection(IDispatch**) override {
        return Unexpected("get_RegFilterCollection");
    }
    STDMETHODIMP StopWhenReady() override;

protected:
    void OnFinalRelease() override;
};

// A filter enumerator over the graph's filters as they were when it was made.
class FakeFilterEnum : public FakeListEnum<IEnumFilters, IBaseFilter> {
public:
    explicit FakeFilterEnum(const FakeGraph& graph);
};

class FakeBuilder : public Fake<ICaptureGraphBuilder> {
public:
    FakeBuilder();

    // What FindInterface answers for a category (null for none) and an IID;
    // `answer` replaces S_OK when the object gave the interface. Without an
    // object, `answer` comes with no interface (a broken driver's S_OK).
    struct Found {
        const GUID* category;
        IID iid;
        IUnknown* object;
        HRESULT answer = S_OK;
    };
    std::vector<Found> interfaces;
    void Answer(const GUID* category, REFIID iid, IUnknown* object) {
        interfaces.push_back({category, iid, object});
    }

    HRESULT setFiltergraphResult = S_OK;
    HRESULT renderStreamResult = S_OK;
    // Filters RenderStream puts into the graph (named "0001", ...), whatever it answers.
    std::vector<IBaseFilter*> renderAdds;
    IGraphBuilder* graph = nullptr; // held from SetFiltergraph, as the platform's builder does

    STDMETHODIMP SetFiltergraph(IGraphBuilder* graph) override;
    STDMETHODIMP GetFiltergraph(IGraphBuilder** result) override;
    STDMETHODIMP SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter**, IFileSinkFilter**) override {
        return Unexpected("SetOutputFileName");
    }
    STDMETHODIMP FindInterface(const GUID* category, IBaseFilter* filter, REFIID iid, void** result) override;
    STDMETHODIMP RenderStream(const GUID* category, IUnknown* source, IBaseFilter* compressor,
                              IBaseFilter* renderer) override;
    STDMETHODIMP ControlStream(const GUID*, IBaseFilter*, REFERENCE_TIME*, REFERENCE_TIME*, WORD,
                               WORD) override {
        return Unexpected("ControlStream");
    }
    STDMETHODIMP AllocCapFile(LPCOLESTR, DWORDLONG) override { return Unexpected("AllocCapFile"); }
    STDMETHODIMP CopyCaptureFile(LPOLESTR, LPOLESTR, int, IAMCopyCaptureFileProgress*) override {
        return Unexpected("CopyCaptureFile");
    }

protected:
    void OnFinalRelease() override;
};

class FakeCompression : public Fake<IAMVideoCompression> {
public:
    FakeCompression();

    HRESULT getInfoResult = S_OK;
    LONG capabilities = CompressionCaps_CanQuality;
    double defaultQuality = 0.75;
    HRESULT putQualityResult = S_OK;
    double quality = -1.0; // last value taken by put_Quality

    STDMETHODIMP put_KeyFrameRate(LONG) override { return Unexpected("put_KeyFrameRate"); }
    STDMETHODIMP get_KeyFrameRate(LONG*) override { return Unexpected("get_KeyFrameRate"); }
    STDMETHODIMP put_PFramesPerKeyFrame(LONG) override { return Unexpected("put_PFramesPerKeyFrame"); }
    STDMETHODIMP get_PFramesPerKeyFrame(LONG*) override { return Unexpected("get_PFramesPerKeyFrame"); }
    STDMETHODIMP put_Quality(double value) override;
    STDMETHODIMP get_Quality(double* value) override;
    STDMETHODIMP put_WindowSize(DWORDLONG) override { return Unexpected("put_WindowSize"); }
    STDMETHODIMP get_WindowSize(DWORDLONG*) override { return Unexpected("get_WindowSize"); }
    STDMETHODIMP GetInfo(LPWSTR version, int* versionSize, LPWSTR description, int* descriptionSize,
                         LONG* keyFrameRate, LONG* framesPerKey, double* quality, LONG* caps) override;
    STDMETHODIMP OverrideKeyFrame(LONG) override { return Unexpected("OverrideKeyFrame"); }
    STDMETHODIMP OverrideFrameSize(LONG, LONG) override { return Unexpected("OverrideFrameSize"); }
};

// A class factory that CoCreateInstance reaches instead of the platform's
// class while registered (Register after CoInitialize, Revoke before the end).
class FakeClass : public Fake<IClassFactory> {
public:
    FakeClass(REFCLSID clsid, IUnknown* object);
    ~FakeClass() override;

    CLSID clsid;
    IUnknown* object;
    // Answers for successive CreateInstance calls; S_OK once they run out.
    std::vector<HRESULT> results;

    void Register();
    void Revoke();

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** result) override;
    STDMETHODIMP LockServer(WINBOOL) override { return Unexpected("LockServer", S_OK); }

private:
    DWORD cookie = 0;
};

} // namespace fakes
