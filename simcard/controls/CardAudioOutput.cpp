#include "simcard/controls/CardAudioOutput.h"

#include <algorithm>
#include <vector>

namespace {

// Statically initialised: the DLL may be loaded and used from any thread.
SRWLOCK cardsLock = SRWLOCK_INIT;

std::vector<const CardState*>& Cards() {
    static std::vector<const CardState*> cards;
    return cards;
}

} // namespace

namespace CardAudioOutput {

void Attach(const CardState& card) {
    AcquireSRWLockExclusive(&cardsLock);
    Cards().push_back(&card);
    ReleaseSRWLockExclusive(&cardsLock);
}

void Detach(const CardState& card) {
    AcquireSRWLockExclusive(&cardsLock);
    std::vector<const CardState*>& cards = Cards();
    cards.erase(std::remove(cards.begin(), cards.end(), &card), cards.end());
    ReleaseSRWLockExclusive(&cardsLock);
}

bool Read(CardSettings& settings) {
    // Held while reading, so a card cannot go away under the reader.
    AcquireSRWLockShared(&cardsLock);
    const std::vector<const CardState*>& cards = Cards();
    const bool present = !cards.empty();
    if (present) {
        settings = cards.back()->Get();
    }
    ReleaseSRWLockShared(&cardsLock);
    return present;
}

} // namespace CardAudioOutput
