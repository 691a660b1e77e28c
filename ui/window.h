#pragma once
// Base of the program's windows: one window procedure recovers the object
// from the window on WM_NCCREATE (a dialog's procedure on WM_INITDIALOG) and
// forwards every message to HandleMessage. Exceptions never leave the
// procedure; they end the message they came from and are shown in the
// application's error box.
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

    // An empty, hidden dialog box of the system's dialog class: the dialog
    // manager then gives its controls, created afterwards, the keys of a
    // dialog (Tab, Enter on the default button, Escape as IDCANCEL). Throws
    // std::runtime_error when Windows refuses.
    void CreateDialogHandle(DWORD style);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing: DefWindowProc for a window; for a dialog, the
    // dialog manager's once the handler has returned.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // Forwards to HandleMessage; clears the handle at WM_NCDESTROY.
    LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    bool dialog_ = false;
    // Set by Default while a dialog's message is handled (messages nest).
    bool* defaulted_ = nullptr;
};
