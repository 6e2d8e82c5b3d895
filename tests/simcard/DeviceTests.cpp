// The card as the system sees it: the registered devices, the filter's pins,
// the property pages, and the DLL's own entry points.
#include "tests/simcard/SimcardTestSupport.h"

#include "simcard/pages/PageResources.h"
#include "simcard/server/Guids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CardDevices : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(CardCanUnloadNow(), S_OK); }
    ComApartment com;
};

bool Listed(const std::vector<std::wstring>& names, const wchar_t* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(CardDevices, RegistrationListsTheCardAndThreeAudioDevices) {
    const std::vector<std::wstring> video = DeviceNames(CLSID_VideoInputDeviceCategory);
    EXPECT_EQ(std::count(video.begin(), video.end(), L"Narvo TV"), 1);
    const std::vector<std::wstring> audio = DeviceNames(CLSID_AudioInputDeviceCategory);
    EXPECT_TRUE(Listed(audio, L"SimTV Line In"));
    EXPECT_TRUE(Listed(audio, L"SimTV ステレオ ミキサー"));
    EXPECT_TRUE(Listed(audio, L"SimTV Microphone"));
    EXPECT_EQ(audio.size(), 3u);
}

TEST_F(CardDevices, CardBindsWithAnInputPinAndACapturePin) {
    ComRef<IBaseFilter> card = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV");
    ASSERT_TRUE(card);
    EXPECT_EQ(CountPins(card.Get(), PINDIR_INPUT), 1);
    EXPECT_EQ(CountPins(card.Get(), PINDIR_OUTPUT), 1);
    EXPECT_TRUE(FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE));
    EXPECT_FALSE(FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW));
    EXPECT_TRUE(Query<IPersistPropertyBag>(card.Get(), IID_IPersistPropertyBag));
    // Controls live on the filter, the stream interfaces on the capture pin.
    EXPECT_FALSE(Query<IAMStreamConfig>(card.Get(), IID_IAMStreamConfig));
    ComRef<IPin> capture = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE);
    EXPECT_TRUE(Query<IAMStreamConfig>(capture.Get(), IID_IAMStreamConfig));
    EXPECT_TRUE(Query<IAMVideoCompression>(capture.Get(), IID_IAMVideoCompression));
}

TEST_F(CardDevices, PinVariants) {
    {
        // Words are taken whatever their letter case.
        ScopedEnvironment variant(L"SIMTV_VARIANT", L"noinputPIN");
        ComRef<IBaseFilter> card = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV");
        ASSERT_TRUE(card);
        EXPECT_EQ(CountPins(card.Get(), PINDIR_INPUT), 0);
    }
    {
        ScopedEnvironment variant(L"SIMTV_VARIANT", L"NoInputPin");
        ComRef<IBaseFilter> card = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV");
        ASSERT_TRUE(card);
        EXPECT_EQ(CountPins(card.Get(), PINDIR_INPUT), 0);
    }
    ScopedEnvironment variant(L"SIMTV_VARIANT", L"PreviewPin");
    ComRef<IBaseFilter> card = BindDevice(CLSID_VideoInputDeviceCategory, L"Narvo TV");
    ASSERT_TRUE(card);
    EXPECT_EQ(CountPins(card.Get(), PINDIR_OUTPUT), 2);
    ComRef<IPin> preview = FindPin(card.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW);
    ASSERT_TRUE(preview);
    EXPECT_FALSE(Query<IAMStreamConfig>(preview.Get(), IID_IAMStreamConfig));
}

TEST_F(CardDevices, AudioDevicesJoinAGraphAndRunAndStopWithIt) {
    JournalFile journal;
    ScopedEnvironment journalOn(L"SIMTV_JOURNAL", journal.Path());
    ComRef<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.PutVoid()),
              S_OK);
    ComRef<IBaseFilter> audio = BindDevice(CLSID_AudioInputDeviceCategory, L"SimTV ステレオ ミキサー");
    ASSERT_TRUE(audio);
    ASSERT_EQ(graph->AddFilter(audio.Get(), L"SimTV ステレオ ミキサー"), S_OK);
    ComRef<IMediaControl> control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    control->Run();
    EXPECT_EQ(StateAfterChange(graph.Get()), State_Running);
    FILTER_STATE state = State_Stopped;
    audio->GetState(0, &state);
    EXPECT_EQ(state, State_Running);
    EXPECT_EQ(control->StopWhenReady(), S_OK);
    EXPECT_EQ(graph->RemoveFilter(audio.Get()), S_OK);
    // The journal is UTF-8 whatever the code page.
    EXPECT_TRUE(
        journal.Contains(u8"AudioCapture.JoinFilterGraph device=\"SimTV ステレオ ミキサー\" -> S_OK"));
    EXPECT_TRUE(journal.Contains(u8"AudioCapture.Run device=\"SimTV ステレオ ミキサー\" -> S_OK"));
    EXPECT_TRUE(
        journal.Contains(u8"AudioCapture.LeaveFilterGraph device=\"SimTV ステレオ ミキサー\" -> S_OK"));
}

TEST_F(CardDevices, CardKnowsTheGraphItJoinedAndItsNameThere) {
    ComRef<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.PutVoid()),
              S_OK);
    ComRef<IBaseFilter> card = CreateCard();
    ASSERT_TRUE(card);
    ASSERT_EQ(graph->AddFilter(card.Get(), L"Narvo TV"), S_OK);
    FILTER_INFO info = {};
    ASSERT_EQ(card->QueryFilterInfo(&info), S_OK);
    ComRef<IFilterGraph> joined(info.pGraph);
    EXPECT_STREQ(info.achName, L"Narvo TV");
    EXPECT_TRUE(joined && Query<IUnknown>(joined.Get(), IID_IUnknown).Get() ==
                              Query<IUnknown>(graph.Get(), IID_IUnknown).Get());
    joined.Reset();

    ASSERT_EQ(graph->RemoveFilter(card.Get()), S_OK);
    ASSERT_EQ(card->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_STREQ(info.achName, L"");
}

// --- Property pages ---------------------------------------------------------

TEST_F(CardDevices, EachPageDescribesItselfInJapanese) {
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IUnknown> procAmp = Query<IUnknown>(card.Get(), IID_IAMVideoProcAmp);
    const wchar_t* titles[] = {L"映像入力", L"映像調整", L"チューナ"};
    const CLSID* pages[] = {&CLSID_SimTvInputPage, &CLSID_SimTvPicturePage, &CLSID_SimTvTunerPage};
    for (int i = 0; i < 3; ++i) {
        ComRef<IPropertyPage> page;
        ASSERT_EQ(
            CoCreateInstance(*pages[i], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.PutVoid()),
            S_OK);
        PROPPAGEINFO info = {};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        TaskMem<OLECHAR> title(info.pszTitle);
        EXPECT_STREQ(title.Get(), titles[i]);
        EXPECT_EQ(page->SetObjects(1, procAmp.GetAddress()), S_OK);
        EXPECT_EQ(page->IsPageDirty(), S_FALSE);
        EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    }
}

// A plain window to host a page, or none without a display.
class HostWindow {
public:
    HostWindow() {
        window = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() {
        if (window) {
            DestroyWindow(window);
        }
    }
    HWND window;
};

TEST_F(CardDevices, PicturePageAppliesASliderAsItMoves) {
    HostWindow host;
    if (!host.window) {
        GTEST_SKIP() << "no display";
    }
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMVideoProcAmp> procAmp = Query<IAMVideoProcAmp>(card.Get(), IID_IAMVideoProcAmp);
    ComRef<IUnknown> object = Query<IUnknown>(card.Get(), IID_IAMVideoProcAmp);
    ComRef<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(CLSID_SimTvPicturePage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               page.PutVoid()),
              S_OK);
    ASSERT_EQ(page->SetObjects(1, object.GetAddress()), S_OK);
    RECT area = {0, 0, 400, 300};
    ASSERT_EQ(page->Activate(host.window, &area, TRUE), S_OK);

    // The first trackbar of the page is brightness.
    HWND slider = FindWindowExW(GetWindow(host.window, GW_CHILD), nullptr, TRACKBAR_CLASSW, nullptr);
    ASSERT_TRUE(slider);
    const LRESULT start = SendMessageW(slider, TBM_GETPOS, 0, 0);
    SendMessageW(slider, TBM_SETPOS, TRUE, start + 40);
    SendMessageW(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0),
                 reinterpret_cast<LPARAM>(slider));
    LONG value = 0, flags = 0;
    ASSERT_EQ(procAmp->Get(VideoProcAmp_Brightness, &value, &flags), S_OK);
    EXPECT_EQ(value, 40) << "the slider starts at the default, 0";

    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
}

// The page's dialog, shown in the host on the card's interfaces; null if it fails.
HWND ActivatePage(IPropertyPage* page, IUnknown* card, HWND host) {
    RECT area = {0, 0, 400, 300};
    if (page->SetObjects(1, &card) != S_OK || page->Activate(host, &area, TRUE) != S_OK) {
        return nullptr;
    }
    return GetWindow(host, GW_CHILD);
}

// A control's notification, as its dialog hears it when the user acts.
void Notify(HWND dialog, int control, WORD code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(control, code),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

TEST_F(CardDevices, InputAndTunerPagesApplyWhatIsChosen) {
    HostWindow host;
    if (!host.window) {
        GTEST_SKIP() << "no display";
    }
    ComRef<IBaseFilter> card = CreateCard();
    ComRef<IAMCrossbar> crossbar = Query<IAMCrossbar>(card.Get(), IID_IAMCrossbar);
    ComRef<IAMTVTuner> tuner = Query<IAMTVTuner>(card.Get(), IID_IAMTVTuner);
    ASSERT_TRUE(crossbar && tuner);
    auto routed = [&crossbar](LONG output) {
        LONG input = -2;
        crossbar->get_IsRoutedTo(output, &input);
        return input;
    };

    ComRef<IPropertyPage> page;
    ASSERT_EQ(CoCreateInstance(CLSID_SimTvInputPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               page.PutVoid()),
              S_OK);
    HWND dialog = ActivatePage(page.Get(), card.Get(), host.window);
    ASSERT_TRUE(dialog);
    Notify(dialog, IDC_INPUT_COMPOSITE, BN_CLICKED);
    EXPECT_EQ(routed(0), 1);
    Notify(dialog, IDC_INPUT_SVIDEO, BN_CLICKED);
    EXPECT_EQ(routed(0), 2);
    Notify(dialog, IDC_INPUT_TUNER, BN_CLICKED);
    EXPECT_EQ(routed(0), 0);
    CheckDlgButton(dialog, IDC_AUDIO_ROUTED, BST_UNCHECKED);
    Notify(dialog, IDC_AUDIO_ROUTED, BN_CLICKED);
    EXPECT_EQ(routed(1), -1) << "tuner audio off mutes the audio decoder";
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);

    ASSERT_EQ(CoCreateInstance(CLSID_SimTvTunerPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                               page.PutVoid()),
              S_OK);
    dialog = ActivatePage(page.Get(), card.Get(), host.window);
    ASSERT_TRUE(dialog);
    SetDlgItemTextW(dialog, IDC_CHANNEL, L"12");
    Notify(dialog, IDC_CHANNEL, EN_CHANGE);
    LONG channel = 0, video = 0, audio = 0;
    ASSERT_EQ(tuner->get_Channel(&channel, &video, &audio), S_OK);
    EXPECT_EQ(channel, 12) << "tuned as it is typed";
    EXPECT_EQ(page->Deactivate(), S_OK);
    EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
}

// --- The DLL itself -------------------------------------------------------

TEST_F(CardDevices, DllServesItsClassesAndUnloadsWhenTheyAreGone) {
    HMODULE module = LoadLibraryW(L"" SIMCARD_AX_PATH);
    ASSERT_TRUE(module) << "cannot load " << SIMCARD_AX_PATH;
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(WINAPI*)();
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnloadNow);
    EXPECT_TRUE(GetProcAddress(module, "DllRegisterServer") && GetProcAddress(module, "DllUnregisterServer"));

    ComRef<IClassFactory> factory;
    EXPECT_EQ(getClassObject(GUID_NULL, IID_IClassFactory, factory.PutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClassObject(CLSID_SimTvCaptureFilter, IID_IClassFactory, factory.PutVoid()), S_OK);
    {
        ComRef<IBaseFilter> filter;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, filter.PutVoid()), S_OK);
        ComRef<IEnumPins> pins;
        ASSERT_EQ(filter->EnumPins(pins.Put()), S_OK);
        EXPECT_EQ(canUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->LockServer(TRUE);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    factory->LockServer(FALSE);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory.Reset();
    FreeLibrary(module);
}

} // namespace
