#include "simcard/controls/ProcAmp.h"

#include "simcard/hooks/RecordedCall.h"
#include "simcard/hooks/Options.h"

namespace {

const ProcAmp::Range ranges[] = {
    {VideoProcAmp_Brightness, "Brightness", -100, 100, 0, &PictureAdjustment::brightness},
    {VideoProcAmp_Contrast, "Contrast", 0, 200, 100, &PictureAdjustment::contrast},
    {VideoProcAmp_Hue, "Hue", -180, 180, 0, &PictureAdjustment::hue},
    {VideoProcAmp_Saturation, "Saturation", 0, 200, 100, &PictureAdjustment::saturation},
    {VideoProcAmp_Sharpness, "Sharpness", 0, 10, 5, &PictureAdjustment::sharpness},
    {VideoProcAmp_Gamma, "Gamma", 50, 300, 100, &PictureAdjustment::gamma},
};

} // namespace

const ProcAmp::Range* ProcAmp::Find(LONG property) {
    for (const Range& range : ranges) {
        if (range.property == property) {
            return &range;
        }
    }
    return nullptr;
}

STDMETHODIMP ProcAmp::GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue,
                               LONG* capsFlags) {
    if (!min || !max || !step || !defaultValue || !capsFlags) {
        return E_POINTER;
    }
    const Range* range = Find(property);
    if (!range) {
        return E_PROP_ID_UNSUPPORTED;
    }
    *min = range->min;
    *max = range->max;
    *step = 1;
    *defaultValue = range->defaultValue;
    *capsFlags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

STDMETHODIMP ProcAmp::Set(LONG property, LONG value, LONG flags) {
    const Range* range = Find(property);
    auto change = [=] {
        if (!range) {
            return E_PROP_ID_UNSUPPORTED;
        }
        if (flags != VideoProcAmp_Flags_Manual || value < range->min || value > range->max) {
            return E_INVALIDARG;
        }
        card.Modify([range, value](CardSettings& s) { s.picture.*(range->field) = value; });
        return S_OK;
    };
    return RecordedCall("ProcAmp.Set", change, "property=%s value=%ld flags=%ld",
                        range ? range->name : "unknown", value, flags);
}

STDMETHODIMP ProcAmp::Get(LONG property, LONG* value, LONG* flags) {
    if (!value || !flags) {
        return E_POINTER;
    }
    const Range* range = Find(property);
    if (!range) {
        return E_PROP_ID_UNSUPPORTED;
    }
    *value = card.Get().picture.*(range->field);
    *flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}
