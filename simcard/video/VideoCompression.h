#pragma once

#include "simcard/server/Module.h"

#include <dshow.h>

class CardState;

// IAMVideoCompression of the capture pin: only the quality can be set; low
// quality shows as blocks in the picture.
class VideoCompression : public IAMVideoCompression {
public:
    VideoCompression(IUnknown* pin, CardState& card) : pin(pin), card(card) {}

    SIMCARD_DELEGATE_IUNKNOWN(pin)

    STDMETHODIMP put_Quality(double quality) override;
    STDMETHODIMP get_Quality(double* quality) override;
    STDMETHODIMP GetInfo(LPWSTR version, int* versionSize, LPWSTR description, int* descriptionSize,
                         LONG* keyFrameRate, LONG* pFramesPerKey, double* quality,
                         LONG* capabilities) override;

    // Key frames, the window size and per-frame overrides: the card has none.
    STDMETHODIMP put_KeyFrameRate(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_KeyFrameRate(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_PFramesPerKeyFrame(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_PFramesPerKeyFrame(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_WindowSize(DWORDLONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_WindowSize(DWORDLONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OverrideKeyFrame(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP OverrideFrameSize(LONG, LONG) override { return E_NOTIMPL; }

private:
    IUnknown* pin;
    CardState& card;
};
