#pragma once

#include <dshow.h>

// AM_MEDIA_TYPE copies the way DirectShow's helpers make them (common/Ownership.h
// frees them), and an owning value type for the formats the card keeps.
namespace MediaTypes {

HRESULT CopyInto(AM_MEDIA_TYPE& target, const AM_MEDIA_TYPE& source);
AM_MEDIA_TYPE* Clone(const AM_MEDIA_TYPE& source); // CoTaskMem, null when out of memory

// The picture header of a VIDEOINFOHEADER or VIDEOINFOHEADER2 block, else null.
BITMAPINFOHEADER* Bitmap(const AM_MEDIA_TYPE& type);
// AvgTimePerFrame of either block, else null.
REFERENCE_TIME* FrameDuration(const AM_MEDIA_TYPE& type);

// A short name for journals: RGB24, YUY2, ...
const char* SubtypeName(const GUID& subtype);

} // namespace MediaTypes

class MediaType {
public:
    MediaType();
    explicit MediaType(const AM_MEDIA_TYPE& source);
    MediaType(const MediaType& other);
    MediaType& operator=(const MediaType& other);
    ~MediaType();

    const AM_MEDIA_TYPE& Get() const { return type; }
    AM_MEDIA_TYPE& Get() { return type; }
    bool Empty() const { return type.cbFormat == 0; }

private:
    AM_MEDIA_TYPE type;
};
