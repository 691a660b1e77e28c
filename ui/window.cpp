#include "window.h"

#include <stdexcept>

#include "app_shell.h"

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

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, message, wParam, lParam);
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

    // A failed message answers 0: in particular a WM_CLOSE whose handler
    // failed must not go on to the default, which would destroy the window.
    LRESULT result = 0;
    Guarded([&] { result = self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
    }
    return result;
}
