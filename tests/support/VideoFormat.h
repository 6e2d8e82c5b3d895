#pragma once

#include <windows.h>
#include <dshow.h>

#include "common/Ownership.h"

#include <cstring>

// A video media type laid out as a device hands it over, owned by the test.
// Not copyable: the media type points into the object itself.
struct VideoFormat {
    AM_MEDIA_TYPE type = {};
    VIDEOINFOHEADER info = {};

    VideoFormat(const GUID& subtype, int bits, int width, int height) {
        type.majortype = MEDIATYPE_Video;
        type.subtype = subtype;
        type.formattype = FORMAT_VideoInfo;
        type.cbFormat = sizeof info;
        type.pbFormat = reinterpret_cast<BYTE*>(&info);
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biBitCount = static_cast<WORD>(bits);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
    }
    // A copy in task memory, as a device hands one out, for a catalogue to own.
    MediaTypePtr Owned() const {
        MediaTypePtr copy(static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof type)));
        *copy = type;
        copy->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof info));
        memcpy(copy->pbFormat, &info, sizeof info);
        return copy;
    }
    VideoFormat(const VideoFormat&) = delete;
    VideoFormat& operator=(const VideoFormat&) = delete;
};
