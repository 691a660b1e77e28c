#pragma once
// A flat button: no face of its own, whatever lies behind it shows through;
// a thin raised edge while the pointer is over it, a sunken edge while it is
// pressed, an optional caption drawn centred in the given font. It never
// takes the keyboard focus. It answers BM_CLICK like a push button, which is
// how a test program clicks it from outside.
#include <windows.h>

#include <functional>
#include <string>

#include "window.h"

class FlatButton : public Window {
public:
    // Paints what lies behind the button; `area` is in the parent's client
    // coordinates and the DC's origin is the button's top-left corner.
    using BackgroundPainter = std::function<void(HDC dc, const RECT& area)>;

    void Create(HWND parent, int id, const RECT& bounds, BackgroundPainter background,
                std::function<void()> onClick);
    void SetCaption(const std::string& caption);  // system code page
    void SetFont(HFONT font) { font_ = font; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();
    void SetHot(bool hot);
    void SetPressed(bool pressed);
    bool PointerInside(LPARAM lParam) const;
    void Click();

    RECT bounds_{};
    BackgroundPainter background_;
    std::function<void()> onClick_;
    std::string caption_;
    HFONT font_ = nullptr;
    bool hot_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
};

// Tooltips for a window's controls: the hint appears when the pointer rests
// on the control; an empty hint shows nothing. The tooltip window goes with
// its owner; this object then only forgets it.
class ToolTips {
public:
    ToolTips() = default;
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;
    ~ToolTips();

    void Create(HWND owner);
    void Add(HWND control, const std::string& hint);  // system code page
    // A new hint for a control already added.
    void SetText(HWND control, const std::string& hint);
    // Tips wider than this many pixels wrap; their line breaks are kept.
    void SetMaxWidth(int pixels);
    // Hides a tip that shows; it comes back when the pointer rests again.
    void Pop();

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    HWND tips_ = nullptr;
};
