#pragma once
// Base of the program's own window classes: one window procedure recovers
// the object from the window on WM_NCCREATE and forwards every message to
// HandleMessage. Exceptions never leave the procedure; they end the message
// they came from and are shown in the application's error box.
#include <windows.h>

#include <string>

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return handle_; }

protected:
    // Registers the class once per process (later calls do nothing).
    static void RegisterWindowClass(const char* className, UINT style = CS_DBLCLKS,
                                    HICON icon = nullptr);

    // Creates the window; throws std::runtime_error when Windows refuses.
    void CreateHandle(DWORD exStyle, const char* className, const std::string& caption,
                      DWORD style, int x, int y, int width, int height, HWND parent,
                      HMENU menuOrId);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};
