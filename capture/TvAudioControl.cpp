#include "capture/TvAudioControl.h"

void TvAudioControl::OnAttached() {
    // Asked for even when the card reports no stereo; its answer changes nothing here.
    iface->put_TVAudioMode(AMTVAUDIO_MODE_STEREO);
}
