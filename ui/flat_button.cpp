#include "flat_button.h"

#include <commctrl.h>

#include "app_shell.h"
#include "control_ids.h"
#include "win_handles.h"

namespace {
const char kClassName[] = VQ_CLASS_FLATBUTTON;
}

void FlatButton::Create(HWND parent, int id, const RECT& bounds, BackgroundPainter background,
                        std::function<void()> onClick) {
    RegisterWindowClass(kClassName, 0);
    bounds_ = bounds;
    background_ = std::move(background);
    onClick_ = std::move(onClick);
    CreateHandle(0, kClassName, "", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void FlatButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    SetWindowTextA(Handle(), caption.c_str());
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT FlatButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        SetHot(PointerInside(lParam));
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        SetHot(false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(Handle());
        SetPressed(true);
        return 0;
    case WM_LBUTTONUP: {
        bool wasPressed = pressed_ && GetCapture() == Handle();
        bool inside = PointerInside(lParam);
        ReleaseCapture();  // WM_CAPTURECHANGED clears the pressed state
        SetPressed(false);
        SetHot(inside);
        if (wasPressed && inside) Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        SetPressed(false);
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    }
    return Default(message, wParam, lParam);
}

bool FlatButton::PointerInside(LPARAM lParam) const {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client{};
    GetClientRect(Handle(), &client);
    return PtInRect(&client, p) != FALSE;
}

void FlatButton::SetHot(bool hot) {
    if (hot_ == hot) return;
    hot_ = hot;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void FlatButton::SetPressed(bool pressed) {
    if (pressed_ == pressed) return;
    pressed_ = pressed;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void FlatButton::Click() {
    // The handler may open a modal window; the button must look idle then.
    hot_ = pressed_ = false;
    InvalidateRect(Handle(), nullptr, FALSE);
    if (onClick_) Guarded(onClick_);
}

void FlatButton::Paint() {
    PaintScope paint(Handle());
    RECT client{};
    GetClientRect(Handle(), &client);
    int w = client.right, h = client.bottom;

    // Drawn off-screen first so the edge never flickers over the skin.
    UniqueMemoryDc buffer(CreateCompatibleDC(paint.Dc()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(paint.Dc(), w, h));
    {
        SelectedObject selected(buffer.Get(), bitmap.Get());
        if (background_) {
            background_(buffer.Get(), bounds_);
        } else {
            FillRect(buffer.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
        }
        bool down = pressed_ && hot_;
        if (down) {
            DrawEdge(buffer.Get(), &client, BDR_SUNKENOUTER, BF_RECT);
        } else if (hot_) {
            DrawEdge(buffer.Get(), &client, BDR_RAISEDINNER, BF_RECT);
        }
        if (!caption_.empty()) {
            HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            SelectedObject selectedFont(buffer.Get(), font);
            SetBkMode(buffer.Get(), TRANSPARENT);
            SetTextColor(buffer.Get(), GetSysColor(COLOR_BTNTEXT));
            RECT text = client;
            if (down) OffsetRect(&text, 1, 1);
            DrawTextA(buffer.Get(), caption_.c_str(), static_cast<int>(caption_.size()), &text,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        BitBlt(paint.Dc(), 0, 0, w, h, buffer.Get(), 0, 0, SRCCOPY);
    }
}

ToolTips::~ToolTips() {
    if (!tips_) return;
    RemoveWindowSubclass(tips_, Subclass, 1);
    DestroyWindow(tips_);
}

void ToolTips::Create(HWND owner) {
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                            WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            app::Instance(), nullptr);
    if (tips_) SetWindowSubclass(tips_, Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ToolTips::Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    // Destroyed with its owner: the handle must not be destroyed again later
    // (by then it may name another window).
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, Subclass, 1);
        reinterpret_cast<ToolTips*>(data)->tips_ = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void ToolTips::Add(HWND control, const std::string& hint) {
    if (!tips_) return;
    TTTOOLINFOA info{};
    // The size of the structure the oldest common controls know, which all
    // versions accept.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(hint.c_str());
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTips::SetText(HWND control, const std::string& hint) {
    if (!tips_) return;
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(hint.c_str());
    SendMessageA(tips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTips::SetMaxWidth(int pixels) {
    if (tips_) SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, pixels);
}

void ToolTips::Pop() {
    if (tips_) SendMessageA(tips_, TTM_POP, 0, 0);
}
