#pragma once

#include "framework/Geometry.h"

class CWnd;

// The right-button menu: built afresh from the menu resource at each press,
// filled and ticked from the owners' state, tracked, then destroyed.
namespace ContextMenu {

void Open(CWnd& owner, CPoint clientPoint);

} // namespace ContextMenu
