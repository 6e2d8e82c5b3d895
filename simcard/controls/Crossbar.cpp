#include "simcard/controls/Crossbar.h"

#include "simcard/hooks/RecordedCall.h"
#include "simcard/hooks/Options.h"

namespace {

struct PinDescription {
    LONG type;
    LONG related;
};

const PinDescription inputs[CrossbarInputCount] = {
    {PhysConn_Video_Tuner, InputTunerAudio}, {PhysConn_Video_Composite, InputLineAudio},
    {PhysConn_Video_SVideo, InputLineAudio}, {PhysConn_Audio_Tuner, InputTunerVideo},
    {PhysConn_Audio_Line, InputComposite},
};

const PinDescription outputs[CrossbarOutputCount] = {
    {PhysConn_Video_VideoDecoder, OutputAudioDecoder},
    {PhysConn_Audio_AudioDecoder, OutputVideoDecoder},
};

bool IsAudio(LONG type) {
    return type >= PhysConn_Audio_Tuner;
}

} // namespace

STDMETHODIMP Crossbar::get_PinCounts(LONG* outputCount, LONG* inputCount) {
    if (!outputCount || !inputCount) {
        return E_POINTER;
    }
    *outputCount = CrossbarOutputCount;
    *inputCount = InputCount();
    return S_OK;
}

HRESULT Crossbar::Check(LONG output, LONG input) const {
    if (output < 0 || output >= CrossbarOutputCount) {
        return E_INVALIDARG;
    }
    const bool audioOutput = IsAudio(outputs[output].type);
    if (input == -1) {
        return audioOutput ? S_OK : S_FALSE; // the video decoder always has a source
    }
    if (input < 0 || input >= InputCount()) {
        return E_INVALIDARG;
    }
    return IsAudio(inputs[input].type) == audioOutput ? S_OK : S_FALSE;
}

STDMETHODIMP Crossbar::CanRoute(LONG output, LONG input) {
    return RecordedCall(
        "Crossbar.CanRoute", [=] { return Check(output, input); }, "output=%ld input=%ld", output, input);
}

STDMETHODIMP Crossbar::Route(LONG output, LONG input) {
    auto route = [=] {
        const HRESULT hr = Check(output, input);
        if (hr == S_OK) {
            card.Modify([output, input](CardSettings& s) {
                (output == OutputVideoDecoder ? s.videoRoute : s.audioRoute) = input;
            });
        }
        return hr == S_FALSE ? E_INVALIDARG : hr;
    };
    return RecordedCall("Crossbar.Route", route, "output=%ld input=%ld", output, input);
}

STDMETHODIMP Crossbar::get_IsRoutedTo(LONG output, LONG* input) {
    if (!input) {
        return E_POINTER;
    }
    if (output < 0 || output >= CrossbarOutputCount) {
        return E_INVALIDARG;
    }
    const CardSettings settings = card.Get();
    *input = output == OutputVideoDecoder ? settings.videoRoute : settings.audioRoute;
    return S_OK;
}

STDMETHODIMP Crossbar::get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* related, LONG* type) {
    if (!related || !type) {
        return E_POINTER;
    }
    const LONG count = isInput ? InputCount() : CrossbarOutputCount;
    if (index < 0 || index >= count) {
        return E_INVALIDARG;
    }
    const PinDescription& pin = isInput ? inputs[index] : outputs[index];
    *related = pin.related;
    *type = pin.type;
    return S_OK;
}
