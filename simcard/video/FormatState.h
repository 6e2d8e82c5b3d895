#pragma once

#include "simcard/base/MediaTypes.h"
#include "simcard/video/CardFormatList.h"

#include <vector>

// The card's formats: the list it offers, the current one, whether SetFormat
// chose it (then the pins propose only that one), and each output pin's
// connection type, held here alone so that a new frame rate reaches a
// connected pin without a copy to update. Shared by the output pins and the
// stream configuration; read and changed under the filter's lock.
class FormatState {
public:
    enum Pin { CapturePin, PreviewPin, PinCount };

    explicit FormatState(const CardVariant& variant);

    const CardFormatList& List() const { return list; }
    const MediaType& Current() const { return current; }
    bool Chosen() const { return chosen; }

    // The current format, and then (unless SetFormat chose one) every other.
    std::vector<MediaType> Proposals() const;
    void Choose(const MediaType& format, bool bySetFormat);

    // Empty while the pin is not connected.
    MediaType& Connection(Pin pin) { return connections[pin]; }
    bool AnyConnected() const;
    // Only the frame duration may change while a pin is connected.
    void SetConnectedFrameDuration(REFERENCE_TIME duration);

private:
    CardFormatList list;
    MediaType current;
    bool chosen = false;
    MediaType connections[PinCount];
};
