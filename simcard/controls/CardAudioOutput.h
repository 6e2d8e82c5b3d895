#pragma once

#include "simcard/controls/CardState.h"

// The card's audio output as the audio devices of the same process hear it.
// A capture filter registers its state while it lives; the audio devices read
// the one created last. A real card's line out reaches the sound card's line
// in through a cable: this is that cable.
namespace CardAudioOutput {

void Attach(const CardState& card);
void Detach(const CardState& card);

// The settings of the card in the process; false when there is none.
bool Read(CardSettings& settings);

} // namespace CardAudioOutput
