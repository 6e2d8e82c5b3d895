#pragma once

#include "simcard/base/StreamConfigBase.h"

class FormatState;

// IAMStreamConfig of the capture pin: the card's format list and the
// current format, shared by every output pin. Under a connection only the
// frame rate can change, and the connected pins stream at the new one.
class StreamConfig final : public StreamConfigBase {
public:
    StreamConfig(IUnknown* pin, FilterCore& core, FormatState& formats);

private:
    void DescribeRequest(const AM_MEDIA_TYPE& type, char* details, size_t size) const override;
    HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted) const override;
    bool FitsConnection(const AM_MEDIA_TYPE& accepted) const override;
    void Take(const MediaType& accepted) override;
    const MediaType& Current() const override;
    int Count() const override;
    MediaType At(int index) const override;
    void DescribeCaps(int index, BYTE* caps) const override;

    FormatState& formats;
};
