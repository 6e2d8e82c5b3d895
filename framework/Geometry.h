#pragma once

#include <windows.h>
#include <windowsx.h>

// Thin value types over the platform's POINT, SIZE and RECT.

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int px, int py) : POINT{px, py} {}
    // From a mouse message's lParam: signed client coordinates.
    explicit CPoint(LPARAM lParam) : POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)} {}
    bool operator==(const POINT& other) const { return x == other.x && y == other.y; }
    bool operator!=(const POINT& other) const { return !(*this == other); }
};

class CSize : public SIZE {
public:
    CSize() : SIZE{0, 0} {}
    CSize(int width, int height) : SIZE{width, height} {}
};

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& other) : RECT(other) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};
