#pragma once

#include "simcard/base/ListEnumerator.h"
#include "simcard/base/MediaTypes.h"
#include "simcard/server/Module.h"

#include <vector>

// IEnumMediaTypes over a copy of the types a pin proposed when asked.
class MediaTypeEnumerator final : public ListEnumerator<IEnumMediaTypes, MediaType, AM_MEDIA_TYPE*>,
                                  private ModuleObject {
public:
    explicit MediaTypeEnumerator(const std::vector<MediaType>& types, size_t position = 0);

private:
    bool HandOut(const MediaType& type, AM_MEDIA_TYPE*& out) override;
    IEnumMediaTypes* Copy() const override;
};
