#include "ui/ContextMenu.h"

#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/TunerControl.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"
#include "res/resource.h"

namespace ContextMenu {

CaptureSession::MenuIds SessionIds() {
    return {ID_QUALITY_HIGH, ID_QUALITY_MEDIUM, ID_QUALITY_LOW, ID_AUDIO_MUTE,
            ID_AUDIO_CARD,   ID_KEEP_ASPECT,    ID_TOPMOST};
}

FormatCatalog::RateMenuIds RateIds() {
    return {ID_FRAMERATE_30, ID_FRAMERATE_15, ID_FRAMERATE_5, ID_FRAMERATE_CUSTOM};
}

CrossbarControl::InputMenuIds InputIds() {
    return {ID_INPUT_TUNER, ID_INPUT_VIDEO, ID_INPUT_SVIDEO};
}

void Open(CWnd& owner, CPoint clientPoint) {
    CPoint screenPoint = clientPoint;
    owner.ClientToScreen(&screenPoint);
    CMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENU)) {
        return;
    }
    CMenu* popupMenu = menu.GetSubMenu(0);
    if (!popupMenu) {
        return;
    }
    HMENU popup = popupMenu->m_hMenu;
    crossbarControl.CheckInputMenu(popup, InputIds());
    tunerControl.FillMenu(popup, ID_CHANNEL_ITEM);
    formatCatalog.FillMenu(popup, ID_VIDEO_FORMAT, RateIds());
    captureSession.FillMenu(popup, ID_SOUND_DEVICE, SessionIds());
    popupMenu->TrackPopupMenu(0, screenPoint.x, screenPoint.y, &owner);
    menu.DestroyMenu();
}

} // namespace ContextMenu
