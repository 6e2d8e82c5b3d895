#include "simcard/base/MediaTypes.h"

#include "common/Ownership.h"
#include "simcard/base/VideoSubtypes.h"

#include <dvdmedia.h>

#include <cstring>

namespace MediaTypes {

HRESULT CopyInto(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source) {
    target = source;
    target.pbFormat = nullptr;
    target.cbFormat = 0;
    if (source.cbFormat != 0 && source.pbFormat) {
        target.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
        if (!target.pbFormat) {
            target.pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(target.pbFormat, source.pbFormat, source.cbFormat);
        target.cbFormat = source.cbFormat;
    }
    if (target.pUnk) {
        target.pUnk->AddRef();
    }
    return S_OK;
}

AM_MEDIA_TYPE* Clone(const AM_MEDIA_TYPE& source) {
    TaskMem<AM_MEDIA_TYPE> copy(static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE))));
    if (!copy || CopyInto(*copy.Get(), source) != S_OK) {
        return nullptr;
    }
    return copy.Detach();
}

BITMAPINFOHEADER* Bitmap(const AM_MEDIA_TYPE& type) {
    if (!type.pbFormat) {
        return nullptr;
    }
    if (type.formattype == FORMAT_VideoInfo && type.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        return &reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    }
    if (type.formattype == FORMAT_VideoInfo2 && type.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        return &reinterpret_cast<VIDEOINFOHEADER2*>(type.pbFormat)->bmiHeader;
    }
    return nullptr;
}

REFERENCE_TIME* FrameDuration(const AM_MEDIA_TYPE& type) {
    if (!Bitmap(type)) {
        return nullptr;
    }
    if (type.formattype == FORMAT_VideoInfo) {
        return &reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame;
    }
    return &reinterpret_cast<VIDEOINFOHEADER2*>(type.pbFormat)->AvgTimePerFrame;
}

const char* SubtypeName(const GUID& subtype) {
    const VideoSubtype* kind = VideoSubtypes::Find(subtype);
    return kind ? kind->name : "other";
}

} // namespace MediaTypes

MediaType::MediaType() {
    std::memset(&type, 0, sizeof type);
}

MediaType::MediaType(const AM_MEDIA_TYPE& source) {
    if (MediaTypes::CopyInto(type, source) != S_OK) {
        std::memset(&type, 0, sizeof type);
    }
}

MediaType::MediaType(const MediaType& other) : MediaType(other.type) {}

MediaType& MediaType::operator=(const MediaType& other) {
    if (this != &other) {
        AM_MEDIA_TYPE copy;
        if (MediaTypes::CopyInto(copy, other.type) == S_OK) {
            FreeMediaTypeContents(type);
            type = copy;
        }
    }
    return *this;
}

MediaType::~MediaType() {
    FreeMediaTypeContents(type);
}
