#pragma once

#include "capture/FilterAdapter.h"
#include "common/Ownership.h"

#include <vector>

// The capture pin's video formats in a fixed sorted order, the chosen format
// and frame rate, and their share of the context menu. A format's position
// in the sorted list is what the settings file stores, so the order is exact.
class FormatCatalog : public FilterAdapter<FormatCatalog, IAMStreamConfig> {
public:
    // Format commands run from placeholder + 1; beyond 99 they would reach the preset range.
    static constexpr int MaxMenuFormats = 99;

    static const GUID* Category() { return &PIN_CATEGORY_CAPTURE; }
    static REFIID InterfaceId() { return IID_IAMStreamConfig; }

    FormatCatalog() = default;
    // Writes the frame rate and format at process end, if they were read in this run.
    ~FormatCatalog();

    void OnAttached();
    bool Detach();
    bool SetFrameRate(int fps);
    bool SelectFormat(int index);
    bool GetCurrentSize(int& width, int& height) const;
    // The frame-rate items' command ids: the resources define them, the caller passes them in.
    struct RateMenuIds {
        UINT rate30;
        UINT rate15;
        UINT rate5;
        UINT custom;
    };
    // Format i goes before the placeholder as command placeholderId + 1 + i.
    bool FillMenu(HMENU menu, UINT placeholderId, const RateMenuIds& rateIds) const;

    int Enumerate();
    int FormatCount() const { return static_cast<int>(formats.size()); }
    // Sorts raw media types or their holders (instantiated for both).
    template <typename Entry> static void SortFormats(Entry* list, int lo, int hi);
    static int CompareFormats(const AM_MEDIA_TYPE* a, const AM_MEDIA_TYPE* b);
    bool LoadSettings();
    bool SaveSettings() const;

    // Frame duration in 100 ns units; the rate must be at least 1.
    static REFERENCE_TIME FrameDuration(int fps) { return static_cast<REFERENCE_TIME>(10000000 / fps); }

    int frameRate = 15;
    int formatIndex = 0;
    std::vector<MediaTypePtr> formats;

private:
    bool settingsLoaded = false;
};

// The process-wide one, defined with the other global objects in app/Globals.cpp.
extern FormatCatalog formatCatalog;
