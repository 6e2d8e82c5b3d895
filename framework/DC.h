#pragma once

#include <windows.h>

// A device context wrapper. It does not own the handle: whoever obtained the
// handle (the platform, for WM_ERASEBKGND) gives it back.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    COLORREF SetBkColor(COLORREF color);
    // Sets the background colour to `color` (it stays set) and fills the
    // rectangle with an opaque text output of nothing.
    void FillSolidRect(const RECT& rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);

    HDC m_hDC = nullptr;
};
