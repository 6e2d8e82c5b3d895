#pragma once

#include "common/DeviceName.h"

// Names from the user or a device as the text of a context-menu item.
namespace MenuText {

// Copies name into target (size bytes, terminated) with every '&' doubled,
// so the menu shows the name as written instead of taking an '&' for a
// mnemonic. Cut like DeviceName::CopyBounded, never between the two of a pair.
inline void CopyName(char* target, int size, const char* name) {
    DeviceName::CopyBounded(target, size, name, '&');
}

} // namespace MenuText
