#pragma once

#include "common/Ownership.h"

#include <windows.h>
#include <dshow.h>

#include <cstddef>
#include <string>
#include <vector>

// The device searches through the system device enumerator. Every walk
// creates its own enumerator and gives back every object it obtained but
// the filter it returns.
namespace DeviceEnumeration {

// Friendly names are read back into buffers of this many bytes.
constexpr int FriendlyNameSize = 256;

// True when the filter has an input pin that says it is one.
bool HasInputPin(IBaseFilter* filter);

// The first video capture device named `name` (ignoring case) that has an
// input pin, or nothing.
ComRef<IBaseFilter> FindVideoDevice(const char* name);

struct AudioDevice {
    ComRef<IBaseFilter> filter;
    // A device answered the binding with S_OK; name is its friendly name as
    // a field of the search's size holds it.
    bool named = false;
    std::string name;
};

// The first audio capture device whose name matches `stored` (a field of
// storedSize bytes; any device when it is empty) and binds with S_OK.
AudioDevice FindAudioDevice(const char* stored, int storedSize);

// The friendly names of the audio capture devices, at most `most` of them.
std::vector<std::string> ListAudioDevices(size_t most);

} // namespace DeviceEnumeration
