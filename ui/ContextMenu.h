#pragma once

#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "framework/Geometry.h"

class CWnd;

// The right-button menu: built afresh from the menu resource at each press,
// filled and ticked from the owners' state, tracked, then destroyed.
namespace ContextMenu {

void Open(CWnd& owner, CPoint clientPoint);

// The menu resource's command ids, for the owners that fill and tick it.
CaptureSession::MenuIds SessionIds();
FormatCatalog::RateMenuIds RateIds();
CrossbarControl::InputMenuIds InputIds();

} // namespace ContextMenu
