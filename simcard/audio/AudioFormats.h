#pragma once

#include "simcard/base/MediaTypes.h"

#include <dshow.h>
#include <mmreg.h>

// The formats of an audio device: 16-bit PCM at 48 kHz and 44.1 kHz, stereo
// and mono, 48 kHz stereo first (and the format a device starts with).
namespace AudioFormats {

int Count();
MediaType At(int index);
void Describe(int index, AUDIO_STREAM_CONFIG_CAPS& caps);

// The wave format of a complete PCM type, else null.
const WAVEFORMATEX* Wave(const AM_MEDIA_TYPE& type);
// S_OK with the list's own copy when the type is one of the formats (its
// block align and byte rate consistent), else VFW_E_INVALIDMEDIATYPE.
HRESULT Validate(const AM_MEDIA_TYPE& type, MediaType& accepted);

} // namespace AudioFormats
