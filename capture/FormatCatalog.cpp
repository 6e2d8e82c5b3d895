#include "capture/FormatCatalog.h"

#include "app/SettingsFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

const char VideoStreamConfig[] = "VideoStreamConfig";

const VIDEOINFOHEADER* Header(const AM_MEDIA_TYPE* type) {
    return reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat);
}

VIDEOINFOHEADER* Header(AM_MEDIA_TYPE* type) {
    return reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat);
}

bool IsVideoInfo(const AM_MEDIA_TYPE* type) {
    return type->majortype == MEDIATYPE_Video && type->formattype == FORMAT_VideoInfo && type->pbFormat &&
           type->cbFormat >= sizeof(VIDEOINFOHEADER);
}

} // namespace

FormatCatalog::~FormatCatalog() {
    // A run that never read the keys (no card) leaves the stored choice alone.
    if (settingsLoaded) {
        SaveSettings();
    }
}

void FormatCatalog::OnAttached() {
    Enumerate();
    LoadSettings();
    if (!formats.empty()) {
        AM_MEDIA_TYPE* chosen = formats[formatIndex].Get();
        Header(chosen)->AvgTimePerFrame = FrameDuration(frameRate);
        iface->SetFormat(chosen);
    }
}

int FormatCatalog::Enumerate() {
    if (!iface) {
        return 0;
    }
    int capabilityCount = 0;
    int capabilitySize = 0;
    if (iface->GetNumberOfCapabilities(&capabilityCount, &capabilitySize) != S_OK || capabilityCount <= 0) {
        return 0;
    }
    // The capability block is not used, but the device writes one of its
    // reported size, and a whole VIDEO_STREAM_CONFIG_CAPS whatever it reported.
    const size_t blockSize =
        std::max<size_t>(capabilitySize > 0 ? capabilitySize : 0, sizeof(VIDEO_STREAM_CONFIG_CAPS));
    // An absurd count or size is a device with no usable format, not an exception.
    std::unique_ptr<BYTE[]> capability(new (std::nothrow) BYTE[blockSize]);
    if (!capability) {
        return 0;
    }
    std::vector<MediaTypePtr> kept;
    if (static_cast<size_t>(capabilityCount) > kept.max_size()) {
        return 0;
    }
    try {
        kept.reserve(static_cast<size_t>(capabilityCount));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int i = 0; i < capabilityCount; ++i) {
        MediaTypePtr type;
        if (iface->GetStreamCaps(i, type.Put(), capability.get()) != S_OK || !type) {
            continue;
        }
        if (IsVideoInfo(type.Get())) {
            kept.push_back(std::move(type));
        }
    }
    formats = std::move(kept);
    if (formats.size() >= 2) {
        SortFormats(formats.data(), 0, FormatCount() - 1);
    }
    return FormatCount();
}

int FormatCatalog::CompareFormats(const AM_MEDIA_TYPE* a, const AM_MEDIA_TYPE* b) {
    // Subtypes compare as the bytes a GUID occupies in memory.
    const auto* aBytes = reinterpret_cast<const unsigned char*>(&a->subtype);
    const auto* bBytes = reinterpret_cast<const unsigned char*>(&b->subtype);
    for (size_t i = 0; i < sizeof(GUID); ++i) {
        if (aBytes[i] != bBytes[i]) {
            return aBytes[i] < bBytes[i] ? -1 : 1;
        }
    }
    const BITMAPINFOHEADER& aInfo = Header(a)->bmiHeader;
    const BITMAPINFOHEADER& bInfo = Header(b)->bmiHeader;
    if (aInfo.biBitCount != bInfo.biBitCount) {
        return static_cast<int>(aInfo.biBitCount) - static_cast<int>(bInfo.biBitCount);
    }
    if (aInfo.biWidth != bInfo.biWidth) {
        return aInfo.biWidth < bInfo.biWidth ? -1 : 1;
    }
    if (aInfo.biHeight != bInfo.biHeight) {
        return aInfo.biHeight < bInfo.biHeight ? -1 : 1;
    }
    return 0;
}

namespace {

const AM_MEDIA_TYPE* Raw(const AM_MEDIA_TYPE* type) {
    return type;
}

const AM_MEDIA_TYPE* Raw(const MediaTypePtr& type) {
    return type.Get();
}

} // namespace

// This exact quicksort decides where equal formats land, and with it what a
// stored index names: keep its steps as they are.
template <typename Entry> void FormatCatalog::SortFormats(Entry* list, int lo, int hi) {
    for (;;) {
        int i = lo;
        int j = hi;
        const AM_MEDIA_TYPE* pivot = Raw(list[(lo + hi) / 2]);
        for (;;) {
            while (CompareFormats(Raw(list[i]), pivot) < 0) {
                ++i;
            }
            while (CompareFormats(pivot, Raw(list[j])) < 0) {
                --j;
            }
            if (i >= j) {
                break;
            }
            std::swap(list[i], list[j]);
            ++i;
            --j;
        }
        if (lo < i - 1) {
            SortFormats(list, lo, i - 1);
        }
        if (j + 1 < hi) {
            lo = j + 1;
        } else {
            return;
        }
    }
}

template void FormatCatalog::SortFormats(AM_MEDIA_TYPE** list, int lo, int hi);
template void FormatCatalog::SortFormats(MediaTypePtr* list, int lo, int hi);

bool FormatCatalog::LoadSettings() {
    frameRate = settingsFile.ReadInt(VideoStreamConfig, "FrameRate", frameRate);
    formatIndex = settingsFile.ReadInt(VideoStreamConfig, "FormatIndex", formatIndex);
    if (frameRate < 1) {
        frameRate = 5;
    }
    if (frameRate > 30) {
        frameRate = 30;
    }
    if (formatIndex < 0 || formatIndex >= FormatCount()) {
        formatIndex = 0;
    }
    settingsLoaded = true;
    return true;
}

bool FormatCatalog::SaveSettings() const {
    settingsFile.WriteInt(VideoStreamConfig, "FrameRate", frameRate);
    settingsFile.WriteInt(VideoStreamConfig, "FormatIndex", formatIndex);
    return true;
}

bool FormatCatalog::SetFrameRate(int fps) {
    // A rate below 1 has no frame duration; refuse it rather than divide by it.
    if (!iface || fps < 1) {
        return false;
    }
    MediaTypePtr current;
    if (iface->GetFormat(current.Put()) != S_OK || !current || !IsVideoInfo(current.Get())) {
        return false;
    }
    Header(current.Get())->AvgTimePerFrame = FrameDuration(fps);
    if (iface->SetFormat(current.Get()) != S_OK) {
        return false;
    }
    frameRate = fps;
    return true;
}

bool FormatCatalog::SelectFormat(int index) {
    if (!iface || index < 0 || index >= FormatCount()) {
        return false;
    }
    AM_MEDIA_TYPE* chosen = formats[index].Get();
    Header(chosen)->AvgTimePerFrame = FrameDuration(frameRate);
    if (iface->SetFormat(chosen) != S_OK) {
        return false;
    }
    formatIndex = index;
    return true;
}

bool FormatCatalog::GetCurrentSize(int& width, int& height) const {
    width = 0;
    height = 0;
    if (formats.empty()) {
        return false;
    }
    const BITMAPINFOHEADER& info = Header(formats[formatIndex].Get())->bmiHeader;
    width = info.biWidth;
    height = info.biHeight;
    return true;
}

bool FormatCatalog::FillMenu(HMENU menu, UINT placeholderId, const RateMenuIds& rateIds) const {
    const int shown = std::min(FormatCount(), MaxMenuFormats);
    if (shown > 0) {
        GUID groupSubtype = formats[0]->subtype;
        WORD groupBits = Header(formats[0].Get())->bmiHeader.biBitCount;
        for (int i = 0; i < shown; ++i) {
            const AM_MEDIA_TYPE* format = formats[i].Get();
            const BITMAPINFOHEADER& info = Header(format)->bmiHeader;
            if (memcmp(&format->subtype, &groupSubtype, sizeof(GUID)) != 0 || info.biBitCount != groupBits) {
                InsertMenuA(menu, placeholderId, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
                groupSubtype = format->subtype;
                groupBits = info.biBitCount;
            }
            char text[128];
            snprintf(text, sizeof text, "%d x %d (%dbit color)", static_cast<int>(info.biWidth),
                     static_cast<int>(info.biHeight), static_cast<int>(info.biBitCount));
            UINT flags = MF_BYCOMMAND | MF_STRING;
            if (i == formatIndex) {
                flags |= MF_CHECKED;
            }
            InsertMenuA(menu, placeholderId, flags, placeholderId + i + 1, text);
        }
    }
    DeleteMenu(menu, placeholderId, MF_BYCOMMAND);

    UINT rateId = rateIds.custom;
    if (frameRate == 30) {
        rateId = rateIds.rate30;
    } else if (frameRate == 15) {
        rateId = rateIds.rate15;
    } else if (frameRate == 5) {
        rateId = rateIds.rate5;
    }
    CheckMenuItem(menu, rateId, MF_BYCOMMAND | MF_CHECKED);
    return true;
}

bool FormatCatalog::Detach() {
    formats.clear();
    return FilterAdapter::Detach();
}
