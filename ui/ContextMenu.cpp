#include "ui/ContextMenu.h"

#include "app/Globals.h"
#include "capture/CaptureSession.h"
#include "capture/CrossbarControl.h"
#include "capture/FormatCatalog.h"
#include "capture/TunerControl.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"
#include "res/resource.h"

namespace ContextMenu {

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
    crossbarControl.CheckInputMenu(popup);
    tunerControl.FillMenu(popup, ID_CHANNEL_ITEM);
    formatCatalog.FillMenu(popup, ID_VIDEO_FORMAT);
    captureSession.FillMenu(popup, ID_SOUND_DEVICE);
    popupMenu->TrackPopupMenu(0, screenPoint.x, screenPoint.y, &owner);
    menu.DestroyMenu();
}

} // namespace ContextMenu
