#pragma once
// Owners of the GDI objects, menus and icons the windows create (the
// one handle-owner family of win32/unique_handle.h), and the scopes of
// painting: a selected object, BeginPaint/EndPaint, GetDC/ReleaseDC.
#include <windows.h>

#include "win32/unique_handle.h"

using UniqueFont = UniqueWinObject<HFONT, CloseWith<DeleteObject>>;
using UniqueBitmap = UniqueWinObject<HBITMAP, CloseWith<DeleteObject>>;
using UniqueBrush = UniqueWinObject<HBRUSH, CloseWith<DeleteObject>>;
using UniqueMemoryDc = UniqueWinObject<HDC, CloseWith<DeleteDC>>;
using UniqueMenu = UniqueWinObject<HMENU, CloseWith<DestroyMenu>>;
using UniqueIcon = UniqueWinObject<HICON, CloseWith<DestroyIcon>>;

// Selects a GDI object into a DC for one scope and puts the old one back.
// The hourglass for one scope, then the cursor that was there before.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

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
