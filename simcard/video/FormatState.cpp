#include "simcard/video/FormatState.h"

FormatState::FormatState(const CardVariant& variant) : list(variant), current(list.Default()) {}

std::vector<MediaType> FormatState::Proposals() const {
    std::vector<MediaType> types{current};
    if (!chosen) {
        for (int i = 0; i < list.Count(); ++i) {
            types.emplace_back(list.At(i));
        }
    }
    return types;
}

void FormatState::Choose(const MediaType& format, bool bySetFormat) {
    current = format;
    chosen = chosen || bySetFormat;
}

bool FormatState::AnyConnected() const {
    for (const MediaType& connection : connections) {
        if (!connection.Empty()) {
            return true;
        }
    }
    return false;
}

void FormatState::SetConnectedFrameDuration(REFERENCE_TIME duration) {
    for (MediaType& connection : connections) {
        if (REFERENCE_TIME* current = MediaTypes::FrameDuration(connection.Get())) {
            *current = duration;
        }
    }
}
