#pragma once
// Move-only owners of the handles the program creates (kernel objects,
// windows and hooks here; GDI objects, menus and icons in ui/win_handles.h).
// Each closes its object exactly once, when it goes out of scope or is
// reset; copies are deleted so an object can never be closed twice. One
// vocabulary for all: Get, Release (gives the object up without closing it)
// and Reset (closes, then owns the new one, if any).
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

// The closer of an owner: the system function that closes its kind of handle.
template <auto Close>
struct CloseWith {
    template <typename T>
    void operator()(T handle) const {
        Close(handle);
    }
};

// Kernel objects. Creating functions report failure as null or as
// INVALID_HANDLE_VALUE, depending on the function: both are kept as "none".
class UniqueHandle : public UniqueWinObject<HANDLE, CloseWith<CloseHandle>> {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : UniqueWinObject(Owned(handle)) {}
    void Reset(HANDLE handle = nullptr) { UniqueWinObject::Reset(Owned(handle)); }

private:
    static HANDLE Owned(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
};

using UniqueWindow = UniqueWinObject<HWND, CloseWith<DestroyWindow>>;
using UniqueHook = UniqueWinObject<HHOOK, CloseWith<UnhookWindowsHookEx>>;
