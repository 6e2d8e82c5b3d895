#include "capture/VideoWindowControl.h"

#include "common/Ownership.h"

bool VideoWindowControl::Attach(ICaptureGraphBuilder* builder, IBaseFilter* captureFilter) {
    if (!builder || !captureFilter || iface) {
        return false;
    }
    builder->FindInterface(&PIN_CATEGORY_CAPTURE, captureFilter, IID_IVideoWindow,
                           reinterpret_cast<void**>(&iface));
    // A card with a preview pin of its own renders from it and leaves the
    // capture pin unconnected: the renderer is found downstream of the preview.
    if (!iface) {
        builder->FindInterface(&PIN_CATEGORY_PREVIEW, captureFilter, IID_IVideoWindow,
                               reinterpret_cast<void**>(&iface));
    }
    return iface != nullptr;
}

bool VideoWindowControl::Detach() {
    if (iface) {
        SetVisible(false);
        iface->put_Owner(0);
    }
    ReleaseAndClear(iface);
    return true;
}

bool VideoWindowControl::SetVisible(bool show) {
    if (!iface) {
        return false;
    }
    return iface->put_Visible(show ? OATRUE : OAFALSE) == S_OK;
}

bool VideoWindowControl::SetOwner(HWND owner) {
    if (!iface) {
        return false;
    }
    const OAHWND handle = reinterpret_cast<OAHWND>(owner);
    iface->put_Owner(handle);
    iface->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    iface->put_Left(0);
    iface->put_Top(0);
    // Clicks on the picture must reach the viewer window's drag and context menu.
    iface->put_MessageDrain(handle);
    return true;
}

bool VideoWindowControl::SetPosition(int left, int top, int width, int height) {
    if (!iface) {
        return false;
    }
    return iface->SetWindowPosition(left, top, width, height) == S_OK;
}
