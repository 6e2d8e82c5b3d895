#pragma once

// The card's control interfaces that the adapters hold, and the renderer's
// video window. Hand them to FakeBuilder::Answer under the category and IID
// the code asks for. Journal labels: "streamconfig", "procamp", "tvaudio",
// "videowindow", "page[<name>]"; property page lists answer as
// "pages[<owner>]".
//
// Every media type and page list handed out is task memory from TaskAlloc,
// and every media type carries a pUnk fake ("mediatype[<n>]"), so a type
// that is never freed, or freed without its pUnk, shows in Unreleased().

#include "tests/fakes/FakeBase.h"

#include <ocidl.h>

namespace fakes {

// ISpecifyPropertyPages for an owner fake (through its `also` list).
class FakePageList : public Fake<ISpecifyPropertyPages> {
public:
    explicit FakePageList(const std::string& owner);

    std::vector<CLSID> pages;
    HRESULT result = S_OK;
    bool countWithoutList = false;      // S_OK with the count of pages but no list
    std::vector<std::string> handedOut; // each GetPages' list, by its TaskAlloc name

    STDMETHODIMP GetPages(CAUUID* list) override;

private:
    int listsMade = 0;
};

// One capability of a stream config: a video type of the given layout, or
// with formattype / cbFormat changed, something the catalogue must skip.
struct Capability {
    GUID majortype = MEDIATYPE_Video;
    GUID subtype = MEDIASUBTYPE_RGB565;
    GUID formattype = FORMAT_VideoInfo;
    int bits = 16;
    int width = 0;
    int height = 0;
    ULONG cbFormat = sizeof(VIDEOINFOHEADER);
    REFERENCE_TIME avgTimePerFrame = 0;
    HRESULT result = S_OK; // answered by GetStreamCaps for this index
};

Capability VideoCapability(const GUID& subtype, int bits, int width, int height);

class FakeStreamConfig : public Fake<IAMStreamConfig> {
public:
    FakeStreamConfig();
    ~FakeStreamConfig() override;

    std::vector<Capability> capabilities;
    HRESULT numberResult = S_OK;
    int capabilitySize = sizeof(VIDEO_STREAM_CONFIG_CAPS); // reported, and written in full
    int reportedCount = -1;                                // capabilities reported; -1: as many as listed
    // A device writes a whole VIDEO_STREAM_CONFIG_CAPS even when it reported
    // a smaller size: a buffer too small for what is written counts here.
    int overruns = 0;
    Capability current; // what GetFormat hands out
    HRESULT getFormatResult = S_OK;
    // Answers for successive SetFormat calls; setFormatResult once they run out.
    std::vector<HRESULT> setFormatResults;
    HRESULT setFormatResult = S_OK;

    // What the code passed to SetFormat, in order.
    struct Set {
        const AM_MEDIA_TYPE* type;
        int width;
        int height;
        REFERENCE_TIME avgTimePerFrame;
    };
    std::vector<Set> sets;
    std::vector<AM_MEDIA_TYPE*> handedOut; // every type of GetStreamCaps and GetFormat
    // The name of handedOut[i] (its blocks and its pUnk), and whether it was freed as
    // DeleteMediaType frees: format block, pUnk released, the structure.
    static std::string TypeName(size_t i) { return "mediatype[" + std::to_string(i + 1) + "]"; }
    bool TypeFreed(size_t i) const;
    std::vector<BYTE*> capabilityBuffers; // the pSCC of each GetStreamCaps

    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

private:
    AM_MEDIA_TYPE* HandOut(const Capability& capability);
    std::vector<std::unique_ptr<FakeObject>> tokens;
};

class FakeProcAmp : public Fake<IAMVideoProcAmp> {
public:
    FakeProcAmp();

    FakePageList pages{"procamp"};
    bool offersPages = true; // false: QueryInterface(ISpecifyPropertyPages) fails

    // Logs "QueryInterface(ISpecifyPropertyPages)": ShowPropertyPages must not ask without pages.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP GetRange(LONG, LONG*, LONG*, LONG*, LONG*, LONG*) override { return Unexpected("GetRange"); }
    STDMETHODIMP Set(LONG, LONG, LONG) override { return Unexpected("Set"); }
    STDMETHODIMP Get(LONG, LONG*, LONG*) override { return Unexpected("Get"); }
};

class FakeTvAudio : public Fake<IAMTVAudio> {
public:
    FakeTvAudio();

    FakePageList pages{"tvaudio"};
    bool offersPages = false;
    HRESULT putModeResult = S_OK;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP GetHardwareSupportedTVAudioModes(LONG*) override {
        return Unexpected("GetHardwareSupportedTVAudioModes");
    }
    STDMETHODIMP GetAvailableTVAudioModes(LONG*) override { return Unexpected("GetAvailableTVAudioModes"); }
    STDMETHODIMP get_TVAudioMode(LONG*) override { return Unexpected("get_TVAudioMode"); }
    STDMETHODIMP put_TVAudioMode(LONG mode) override;
    STDMETHODIMP RegisterNotificationCallBack(IAMTunerNotification*, LONG) override {
        return Unexpected("RegisterNotificationCallBack");
    }
    STDMETHODIMP UnRegisterNotificationCallBack(IAMTunerNotification*) override {
        return Unexpected("UnRegisterNotificationCallBack");
    }
};

// Journals every put_* and SetWindowPosition with its arguments; window
// handles and styles in hexadecimal ("put_Owner(0x1234)").
class FakeVideoWindow : public Fake<IVideoWindow> {
public:
    FakeVideoWindow();

    HRESULT answer = S_OK; // for every journalled call

    STDMETHODIMP put_Caption(BSTR) override;
    STDMETHODIMP put_WindowStyle(LONG style) override;
    STDMETHODIMP put_WindowStyleEx(LONG style) override;
    STDMETHODIMP put_AutoShow(LONG value) override;
    STDMETHODIMP put_WindowState(LONG value) override;
    STDMETHODIMP put_BackgroundPalette(LONG value) override;
    STDMETHODIMP put_Visible(LONG value) override;
    STDMETHODIMP put_Left(LONG value) override;
    STDMETHODIMP put_Width(LONG value) override;
    STDMETHODIMP put_Top(LONG value) override;
    STDMETHODIMP put_Height(LONG value) override;
    STDMETHODIMP put_Owner(OAHWND owner) override;
    STDMETHODIMP put_MessageDrain(OAHWND drain) override;
    STDMETHODIMP put_BorderColor(LONG value) override;
    STDMETHODIMP put_FullScreenMode(LONG value) override;
    STDMETHODIMP SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;

    STDMETHODIMP get_Caption(BSTR*) override { return Unexpected("get_Caption"); }
    STDMETHODIMP get_WindowStyle(LONG*) override { return Unexpected("get_WindowStyle"); }
    STDMETHODIMP get_WindowStyleEx(LONG*) override { return Unexpected("get_WindowStyleEx"); }
    STDMETHODIMP get_AutoShow(LONG*) override { return Unexpected("get_AutoShow"); }
    STDMETHODIMP get_WindowState(LONG*) override { return Unexpected("get_WindowState"); }
    STDMETHODIMP get_BackgroundPalette(LONG*) override { return Unexpected("get_BackgroundPalette"); }
    STDMETHODIMP get_Visible(LONG*) override { return Unexpected("get_Visible"); }
    STDMETHODIMP get_Left(LONG*) override { return Unexpected("get_Left"); }
    STDMETHODIMP get_Width(LONG*) override { return Unexpected("get_Width"); }
    STDMETHODIMP get_Top(LONG*) override { return Unexpected("get_Top"); }
    STDMETHODIMP get_Height(LONG*) override { return Unexpected("get_Height"); }
    STDMETHODIMP get_Owner(OAHWND*) override { return Unexpected("get_Owner"); }
    STDMETHODIMP get_MessageDrain(OAHWND*) override { return Unexpected("get_MessageDrain"); }
    STDMETHODIMP get_BorderColor(LONG*) override { return Unexpected("get_BorderColor"); }
    STDMETHODIMP get_FullScreenMode(LONG*) override { return Unexpected("get_FullScreenMode"); }
    STDMETHODIMP SetWindowForeground(LONG) override { return Unexpected("SetWindowForeground"); }
    STDMETHODIMP NotifyOwnerMessage(OAHWND, LONG, LONG_PTR, LONG_PTR) override {
        return Unexpected("NotifyOwnerMessage");
    }
    STDMETHODIMP GetWindowPosition(LONG*, LONG*, LONG*, LONG*) override {
        return Unexpected("GetWindowPosition");
    }
    STDMETHODIMP GetMinIdealImageSize(LONG*, LONG*) override { return Unexpected("GetMinIdealImageSize"); }
    STDMETHODIMP GetMaxIdealImageSize(LONG*, LONG*) override { return Unexpected("GetMaxIdealImageSize"); }
    STDMETHODIMP GetRestorePosition(LONG*, LONG*, LONG*, LONG*) override {
        return Unexpected("GetRestorePosition");
    }
    STDMETHODIMP HideCursor(LONG) override { return Unexpected("HideCursor"); }
    STDMETHODIMP IsCursorHidden(LONG*) override { return Unexpected("IsCursorHidden"); }
    FAKE_UNEXPECTED_DISPATCH

private:
    HRESULT Put(const std::string& call);
};

// A property page as a property frame meets it. It holds its site and its
// objects (one reference each) until its last Release; with closeFrame set it
// posts IDCANCEL to the frame when it is first shown, so a modal frame ends
// by itself.
class FakePropertyPage : public Fake<IPropertyPage> {
public:
    explicit FakePropertyPage(const std::string& name);

    std::string name;
    bool closeFrame = true;
    std::vector<IUnknown*> objects; // as the last SetObjects gave them (not held)
    HWND parent = nullptr;          // from Activate

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parentWindow, LPCRECT rect, WINBOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** given) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT) override { return Unexpected("Move", S_OK); }
    STDMETHODIMP IsPageDirty() override { return Unexpected("IsPageDirty", S_FALSE); }
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR) override { return Unexpected("Help"); }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return Unexpected("TranslateAccelerator", S_FALSE); }

protected:
    void OnFinalRelease() override;

private:
    void DropObjects();
    std::vector<IUnknown*> held;
    IPropertyPageSite* site = nullptr;
    bool closed = false;
};

} // namespace fakes
