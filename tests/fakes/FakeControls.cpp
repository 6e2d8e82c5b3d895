#include "tests/fakes/FakeControls.h"

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace fakes {

namespace {

std::string Hex(LONG_PTR value) {
    char text[24];
    snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

// Stands for a media type's pUnk: one reference per type handed out.
class Token : public Fake<IUnknown> {
public:
    explicit Token(const std::string& label) : Fake(label, {IID_IUnknown}) {}
};

} // namespace

FakePageList::FakePageList(const std::string& owner)
    : Fake("pages[" + owner + "]", {IID_ISpecifyPropertyPages}) {}

STDMETHODIMP FakePageList::GetPages(CAUUID* list) {
    Log("GetPages");
    list->cElems = 0;
    list->pElems = nullptr;
    if (result != S_OK) {
        return result;
    }
    // A list of no pages is still a block the caller frees.
    const std::string name = Label() + " list " + std::to_string(++listsMade);
    auto* elements = static_cast<GUID*>(TaskAlloc(pages.size() * sizeof(GUID), name));
    for (size_t i = 0; i < pages.size(); ++i) {
        elements[i] = pages[i];
    }
    list->cElems = static_cast<ULONG>(pages.size());
    if (countWithoutList) {
        CoTaskMemFree(elements);
        return S_OK;
    }
    list->pElems = elements;
    handedOut.push_back(name);
    return S_OK;
}

Capability VideoCapability(const GUID& subtype, int bits, int width, int height) {
    Capability capability;
    capability.subtype = subtype;
    capability.bits = bits;
    capability.width = width;
    capability.height = height;
    return capability;
}

FakeStreamConfig::FakeStreamConfig() : Fake("streamconfig", {IID_IAMStreamConfig}) {
    current = VideoCapability(MEDIASUBTYPE_RGB565, 16, 320, 240);
}

FakeStreamConfig::~FakeStreamConfig() = default;

AM_MEDIA_TYPE* FakeStreamConfig::HandOut(const Capability& capability) {
    const std::string name = TypeName(handedOut.size());
    auto* type = static_cast<AM_MEDIA_TYPE*>(TaskAlloc(sizeof(AM_MEDIA_TYPE), name));
    memset(type, 0, sizeof *type);
    type->majortype = capability.majortype;
    type->subtype = capability.subtype;
    type->formattype = capability.formattype;
    type->bFixedSizeSamples = TRUE;
    type->cbFormat = capability.cbFormat;
    if (capability.cbFormat != 0) {
        type->pbFormat = static_cast<BYTE*>(TaskAlloc(capability.cbFormat, name + " format"));
        memset(type->pbFormat, 0, capability.cbFormat);
        if (capability.cbFormat >= sizeof(VIDEOINFOHEADER)) {
            auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
            info->AvgTimePerFrame = capability.avgTimePerFrame;
            info->bmiHeader.biSize = sizeof info->bmiHeader;
            info->bmiHeader.biWidth = capability.width;
            info->bmiHeader.biHeight = capability.height;
            info->bmiHeader.biBitCount = static_cast<WORD>(capability.bits);
        }
    }
    tokens.push_back(std::make_unique<Token>(name));
    type->pUnk = static_cast<Token*>(tokens.back().get());
    type->pUnk->AddRef();
    handedOut.push_back(type);
    return type;
}

bool FakeStreamConfig::TypeFreed(size_t i) const {
    return i < tokens.size() && tokens[i]->References() == 0 && TaskFreed(TypeName(i));
}

STDMETHODIMP FakeStreamConfig::SetFormat(AM_MEDIA_TYPE* type) {
    if (!type) {
        Log("SetFormat(NULL)");
        return E_POINTER;
    }
    Set set = {type, 0, 0, 0};
    if (type->pbFormat && type->cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
        set.width = info->bmiHeader.biWidth;
        set.height = info->bmiHeader.biHeight;
        set.avgTimePerFrame = info->AvgTimePerFrame;
    }
    sets.push_back(set);
    Log("SetFormat(" + std::to_string(set.width) + "x" + std::to_string(set.height) + ", " +
        std::to_string(set.avgTimePerFrame) + ")");
    if (!setFormatResults.empty()) {
        const HRESULT answer = setFormatResults.front();
        setFormatResults.erase(setFormatResults.begin());
        return answer;
    }
    return setFormatResult;
}

STDMETHODIMP FakeStreamConfig::GetFormat(AM_MEDIA_TYPE** type) {
    Log("GetFormat");
    *type = nullptr;
    if (getFormatResult != S_OK) {
        return getFormatResult;
    }
    *type = HandOut(current);
    return S_OK;
}

STDMETHODIMP FakeStreamConfig::GetNumberOfCapabilities(int* count, int* size) {
    Log("GetNumberOfCapabilities");
    *count = 0;
    *size = 0;
    if (numberResult != S_OK) {
        return numberResult;
    }
    *count = reportedCount >= 0 ? reportedCount : static_cast<int>(capabilities.size());
    *size = capabilitySize;
    return S_OK;
}

STDMETHODIMP FakeStreamConfig::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    Log("GetStreamCaps(" + std::to_string(index) + ")");
    *type = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= capabilities.size()) {
        return S_FALSE;
    }
    const Capability& capability = capabilities[index];
    if (capability.result != S_OK) {
        return capability.result;
    }
    capabilityBuffers.push_back(caps);
    if (caps) {
        // A device fills the whole block it reported, and never less than the structure.
        const size_t written =
            std::max<size_t>(capabilitySize > 0 ? capabilitySize : 0, sizeof(VIDEO_STREAM_CONFIG_CAPS));
        if (_msize(caps) < written) {
            ++overruns;
        } else {
            memset(caps, 0x5a, written);
        }
    }
    *type = HandOut(capability);
    return S_OK;
}

FakeProcAmp::FakeProcAmp() : Fake("procamp", {IID_IAMVideoProcAmp}) {
    also.emplace_back(IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(&pages));
}

STDMETHODIMP FakeProcAmp::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) {
        Log("QueryInterface(ISpecifyPropertyPages)");
        if (!offersPages) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
    }
    return Fake::QueryInterface(iid, out);
}

FakeTvAudio::FakeTvAudio() : Fake("tvaudio", {IID_IAMTVAudio}) {
    also.emplace_back(IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(&pages));
}

STDMETHODIMP FakeTvAudio::QueryInterface(REFIID iid, void** out) {
    if (!offersPages && IsEqualIID(iid, IID_ISpecifyPropertyPages)) {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return Fake::QueryInterface(iid, out);
}

STDMETHODIMP FakeTvAudio::put_TVAudioMode(LONG mode) {
    Log("put_TVAudioMode(" + std::to_string(mode) + ")");
    return putModeResult;
}

FakeVideoWindow::FakeVideoWindow() : Fake("videowindow", {IID_IVideoWindow}) {
    FakeObject::Answer(IID_IDispatch, static_cast<IVideoWindow*>(this));
}

HRESULT FakeVideoWindow::Put(const std::string& call) {
    Log(call);
    return answer;
}

STDMETHODIMP FakeVideoWindow::put_Caption(BSTR caption) {
    return Put("put_Caption(" + Utf8(caption) + ")");
}
STDMETHODIMP FakeVideoWindow::put_WindowStyle(LONG style) {
    return Put("put_WindowStyle(" + Hex(static_cast<ULONG>(style)) + ")");
}
STDMETHODIMP FakeVideoWindow::put_WindowStyleEx(LONG style) {
    return Put("put_WindowStyleEx(" + Hex(static_cast<ULONG>(style)) + ")");
}
STDMETHODIMP FakeVideoWindow::put_AutoShow(LONG value) {
    return Put("put_AutoShow(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_WindowState(LONG value) {
    return Put("put_WindowState(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_BackgroundPalette(LONG value) {
    return Put("put_BackgroundPalette(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Visible(LONG value) {
    return Put("put_Visible(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Left(LONG value) {
    return Put("put_Left(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Width(LONG value) {
    return Put("put_Width(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Top(LONG value) {
    return Put("put_Top(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Height(LONG value) {
    return Put("put_Height(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::put_Owner(OAHWND owner) {
    return Put("put_Owner(" + Hex(owner) + ")");
}
STDMETHODIMP FakeVideoWindow::put_MessageDrain(OAHWND drain) {
    return Put("put_MessageDrain(" + Hex(drain) + ")");
}
STDMETHODIMP FakeVideoWindow::put_BorderColor(LONG value) {
    return Put("put_BorderColor(" + Hex(static_cast<ULONG>(value)) + ")");
}
STDMETHODIMP FakeVideoWindow::put_FullScreenMode(LONG value) {
    return Put("put_FullScreenMode(" + std::to_string(value) + ")");
}
STDMETHODIMP FakeVideoWindow::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
    return Put("SetWindowPosition(" + std::to_string(left) + ", " + std::to_string(top) + ", " +
               std::to_string(width) + ", " + std::to_string(height) + ")");
}

FakePropertyPage::FakePropertyPage(const std::string& name)
    : Fake("page[" + name + "]", {IID_IPropertyPage}), name(name) {}

STDMETHODIMP FakePropertyPage::SetPageSite(IPropertyPageSite* newSite) {
    Log(std::string("SetPageSite(") + (newSite ? "site" : "NULL") + ")");
    if (newSite) {
        newSite->AddRef();
    }
    if (site) {
        site->Release();
    }
    site = newSite;
    return S_OK;
}

STDMETHODIMP FakePropertyPage::Activate(HWND parentWindow, LPCRECT, WINBOOL modal) {
    Log(std::string("Activate(") + (modal ? "modal" : "modeless") + ")");
    parent = parentWindow;
    return S_OK;
}

STDMETHODIMP FakePropertyPage::Deactivate() {
    Log("Deactivate");
    parent = nullptr;
    return S_OK;
}

STDMETHODIMP FakePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    Log("GetPageInfo");
    memset(info, 0, sizeof *info);
    info->cb = sizeof *info;
    // The caller owns the title.
    const std::wstring title(name.begin(), name.end());
    const size_t bytes = (title.size() + 1) * sizeof(wchar_t);
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (info->pszTitle) {
        memcpy(info->pszTitle, title.c_str(), bytes);
    }
    info->size.cx = 200;
    info->size.cy = 120;
    return S_OK;
}

STDMETHODIMP FakePropertyPage::SetObjects(ULONG count, IUnknown** given) {
    std::string call = "SetObjects(" + std::to_string(count);
    for (ULONG i = 0; i < count && given; ++i) {
        call += ", " + LabelOf(given[i]);
    }
    Log(call + ")");
    DropObjects();
    objects.clear();
    for (ULONG i = 0; i < count && given; ++i) {
        if (given[i]) {
            given[i]->AddRef();
            held.push_back(given[i]);
        }
        objects.push_back(given[i]);
    }
    return S_OK;
}

STDMETHODIMP FakePropertyPage::Show(UINT command) {
    Log("Show(" +
        std::string(command == SW_SHOW   ? "SW_SHOW"
                    : command == SW_HIDE ? "SW_HIDE"
                                         : "other") +
        ")");
    if (command == SW_SHOW && closeFrame && !closed && parent) {
        // Cancel the frame as soon as its modal loop runs.
        closed = true;
        PostMessageA(GetAncestor(parent, GA_ROOT), WM_COMMAND, IDCANCEL, 0);
    }
    return S_OK;
}

STDMETHODIMP FakePropertyPage::Apply() {
    Log("Apply");
    return S_OK;
}

void FakePropertyPage::DropObjects() {
    for (IUnknown* object : held) {
        object->Release();
    }
    held.clear();
}

void FakePropertyPage::OnFinalRelease() {
    // What SetObjects gave stays in `objects` for the test to look at.
    DropObjects();
    if (site) {
        site->Release();
        site = nullptr;
    }
    closed = false;
}

} // namespace fakes
