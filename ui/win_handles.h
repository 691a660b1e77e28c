#pragma once
// Owners of the GDI objects, menus, icons and hooks the windows create (the
// one handle-owner family of win32/unique_handle.h), and the scopes of
// painting: a selected object, BeginPaint/EndPaint, GetDC/ReleaseDC.
#include <windows.h>

#include "win32/unique_handle.h"

struct GdiObjectCloser {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcCloser {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct MenuCloser {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct IconCloser {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using UniqueFont = UniqueWinObject<HFONT, GdiObjectCloser>;
using UniqueBitmap = UniqueWinObject<HBITMAP, GdiObjectCloser>;
using UniqueBrush = UniqueWinObject<HBRUSH, GdiObjectCloser>;
using UniqueMemoryDc = UniqueWinObject<HDC, DcCloser>;
using UniqueMenu = UniqueWinObject<HMENU, MenuCloser>;
using UniqueIcon = UniqueWinObject<HICON, IconCloser>;

// Selects a GDI object into a DC for one scope and puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint/EndPaint as one scope.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(window_, &ps_); }
    HDC Dc() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// GetDC/ReleaseDC as one scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(window_, dc_); }
    HDC Dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};
