#include "window.h"

#include <stdexcept>

#include "app_shell.h"

namespace {

// A dialog without controls of its own: the controls are created in pixels
// afterwards, as dialog units would scale the layout with the font.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

}  // namespace

Window::~Window() {
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void Window::RegisterWindowClass(const char* className, UINT style, HICON icon) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(app::Instance(), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = app::Instance();
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // each window paints its whole face
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) throw std::runtime_error("RegisterClassEx failed");
}

void Window::CreateHandle(DWORD exStyle, const char* className, const std::string& caption,
                          DWORD style, int x, int y, int width, int height, HWND parent,
                          HMENU menuOrId) {
    HWND created = CreateWindowExA(exStyle, className, caption.c_str(), style, x, y, width,
                                   height, parent, menuOrId, app::Instance(), this);
    if (!created) throw std::runtime_error("CreateWindowEx failed");
}

void Window::CreateDialogHandle(DWORD style) {
    dialog_ = true;
    EmptyDialogTemplate layout{};
    layout.header.style = style;
    HWND created = CreateDialogIndirectParamA(app::Instance(), &layout.header, nullptr,
                                              DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (!created) throw std::runtime_error("CreateDialogIndirectParam failed");
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!dialog_) return DefWindowProcA(handle_, message, wParam, lParam);
    if (defaulted_) *defaulted_ = true;
    return 0;
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->Dispatch(window, message, wParam, lParam);
}

INT_PTR CALLBACK Window::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Window*>(lParam);
        self->handle_ = dialog;
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        // No focus yet: the dialog manager gives it to the first tab stop
        // when the dialog is first activated.
        return FALSE;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!self) return FALSE;
    bool defaulted = false;
    bool* outer = self->defaulted_;
    self->defaulted_ = &defaulted;
    LRESULT result = self->Dispatch(dialog, message, wParam, lParam);
    self->defaulted_ = outer;
    if (defaulted) return FALSE;  // the dialog manager's default processing
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

LRESULT Window::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A failed message answers 0: in particular a WM_CLOSE whose handler
    // failed must not go on to the default, which would destroy the window.
    LRESULT result = 0;
    Guarded([&] { result = HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        handle_ = nullptr;
    }
    return result;
}
