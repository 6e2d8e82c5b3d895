#pragma once

#include "simcard/video/CardFormatList.h"
#include "simcard/base/MediaTypes.h"

#include <vector>

// What a pin that carries the card's format answers to the format state.
class FormatConnection {
public:
    virtual bool IsConnected() const = 0;
    // Only the frame duration may change while a pin is connected.
    virtual void SetConnectionFrameDuration(REFERENCE_TIME duration) = 0;

protected:
    ~FormatConnection() = default;
};

// The card's formats: the list it offers, the current one, and whether
// SetFormat chose it (then the pins propose only that one). Shared by the
// output pins and the stream configuration; read and changed under the
// filter's lock.
class FormatState {
public:
    explicit FormatState(const CardVariant& variant);

    const CardFormatList& List() const { return list; }
    const MediaType& Current() const { return current; }
    bool Chosen() const { return chosen; }

    // The current format, and then (unless SetFormat chose one) every other.
    std::vector<MediaType> Proposals() const;
    void Choose(const MediaType& format, bool bySetFormat);

    void AddConnection(FormatConnection& connection) { connections.push_back(&connection); }
    bool AnyConnected() const;
    void SetConnectedFrameDuration(REFERENCE_TIME duration);

private:
    CardFormatList list;
    MediaType current;
    bool chosen = false;
    std::vector<FormatConnection*> connections;
};
