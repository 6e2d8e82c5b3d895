#pragma once

#include "simcard/base/MediaTypes.h"
#include "simcard/hooks/Options.h"

#include <vector>

// The card's side of the formats: the capabilities its capture pin reports
// through IAMStreamConfig, in its own (deliberately unsorted) order, and the
// rules SetFormat applies. The viewer reads them back into its FormatCatalog.
class CardFormatList {
public:
    static constexpr REFERENCE_TIME FastestFrame = 333333;   // 30 fps
    static constexpr REFERENCE_TIME SlowestFrame = 10000000; // 1 fps

    explicit CardFormatList(const CardVariant& variant);

    int Count() const { return static_cast<int>(offered.size()); }
    const AM_MEDIA_TYPE& At(int index) const { return offered[index].Get(); }
    void Describe(int index, VIDEO_STREAM_CONFIG_CAPS& caps) const;

    // The format the card starts with.
    const MediaType& Default() const { return defaultFormat; }

    // S_OK and the card's own form of the format (frame duration filled in)
    // when the type names a capability; VFW_E_INVALIDMEDIATYPE otherwise.
    HRESULT Validate(const AM_MEDIA_TYPE& requested, MediaType& accepted) const;

private:
    std::vector<MediaType> offered;
    MediaType defaultFormat;
};

// A video media type of the card: RGB and YUY2, VIDEOINFOHEADER or VIDEOINFOHEADER2;
// empty for a subtype the card does not produce.
MediaType MakeVideoType(const GUID& subtype, int width, int height, REFERENCE_TIME frameDuration,
                        bool videoInfo2 = false);
