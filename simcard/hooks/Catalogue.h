#pragma once

#include <cstddef>

// Everything a test can ask of the card by name, in one place: the fault
// points SIMTV_FAIL takes and the words of SIMTV_VARIANT and SIMTV_REGISTER.
// A name that is not here does nothing; the card's README and the viewer's
// fault matrix are checked against these lists.
namespace Catalogue {

struct NameList {
    const char* const* names;
    size_t count;

    const char* const* begin() const { return names; }
    const char* const* end() const { return names + count; }
    // The entry equal to word (ASCII, case ignored), or null.
    const char* Find(const char* word) const;
};

extern const NameList FaultPoints;
extern const NameList CardVariants;
extern const NameList RegistrationVariants;

} // namespace Catalogue
