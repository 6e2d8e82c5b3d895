#pragma once

#include "simcard/base/MediaTypes.h"
#include "simcard/server/Module.h"

#include <vector>

// IEnumMediaTypes over a copy of the types a pin proposed when asked.
class MediaTypeEnumerator final : public IEnumMediaTypes, private ModuleObject {
public:
    MediaTypeEnumerator(const std::vector<MediaType>& types, size_t position = 0);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** clone) override;

private:
    ~MediaTypeEnumerator() = default;

    volatile LONG refs = 1;
    std::vector<MediaType> types;
    size_t position;
};
