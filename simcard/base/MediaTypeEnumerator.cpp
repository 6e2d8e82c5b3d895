#include "simcard/base/MediaTypeEnumerator.h"

#include <new>

MediaTypeEnumerator::MediaTypeEnumerator(const std::vector<MediaType>& types, size_t start)
    : ListEnumerator(IID_IEnumMediaTypes, types, start) {}

bool MediaTypeEnumerator::HandOut(const MediaType& type, AM_MEDIA_TYPE*& out) {
    out = MediaTypes::Clone(type.Get());
    return out != nullptr;
}

IEnumMediaTypes* MediaTypeEnumerator::Copy() const {
    return new (std::nothrow) MediaTypeEnumerator(items, position);
}
