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

    STDMETHODIMP put_KeyFrameRate(LONG rate) override;
    STDMETHODIMP get_KeyFrameRate(LONG* rate) override;
    STDMETHODIMP put_PFramesPerKeyFrame(LONG frames) override;
    STDMETHODIMP get_PFramesPerKeyFrame(LONG* frames) override;
    STDMETHODIMP put_Quality(double quality) override;
    STDMETHODIMP get_Quality(double* quality) override;
    STDMETHODIMP put_WindowSize(DWORDLONG size) override;
    STDMETHODIMP get_WindowSize(DWORDLONG* size) override;
    STDMETHODIMP GetInfo(LPWSTR version, int* versionSize, LPWSTR description, int* descriptionSize,
                         LONG* keyFrameRate, LONG* pFramesPerKey, double* quality,
                         LONG* capabilities) override;
    STDMETHODIMP OverrideKeyFrame(LONG frame) override;
    STDMETHODIMP OverrideFrameSize(LONG frame, LONG size) override;

private:
    IUnknown* pin;
    CardState& card;
};
