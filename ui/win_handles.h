#pragma once
// Move-only owners for the GDI objects, menus, icons and hooks the windows
// create: each closes its object exactly once, when it goes out of scope or
// is reset. Copies are deleted so an object can never be closed twice.
// Kernel handles and windows: engine/win32/unique_handle.h.
#include <windows.h>

#include <utility>

template <typename T, typename Closer>
class UniqueWinObject {
public:
    UniqueWinObject() = default;
    explicit UniqueWinObject(T value) : value_(value) {}
    UniqueWinObject(const UniqueWinObject&) = delete;
    UniqueWinObject& operator=(const UniqueWinObject&) = delete;
    UniqueWinObject(UniqueWinObject&& other) noexcept : value_(other.Release()) {}
    UniqueWinObject& operator=(UniqueWinObject&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueWinObject() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return value_ != nullptr; }
    T Release() { return std::exchange(value_, nullptr); }
    void Reset(T value = nullptr) {
        if (value_) Closer{}(value_);
        value_ = value;
    }

private:
    T value_ = nullptr;
};

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
struct HookCloser {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

using UniqueFont = UniqueWinObject<HFONT, GdiObjectCloser>;
using UniqueBitmap = UniqueWinObject<HBITMAP, GdiObjectCloser>;
using UniqueBrush = UniqueWinObject<HBRUSH, GdiObjectCloser>;
using UniqueMemoryDc = UniqueWinObject<HDC, DcCloser>;
using UniqueMenu = UniqueWinObject<HMENU, MenuCloser>;
using UniqueIcon = UniqueWinObject<HICON, IconCloser>;
using UniqueHook = UniqueWinObject<HHOOK, HookCloser>;

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
