#pragma once
// One owning type per handle kind. Each handle has exactly one owner: the type moves but
// never copies, and whatever it holds is closed when it goes out of scope.

#include <windows.h>

#include <cstdint>
#include <utility>

template <typename T, auto CloseFn, std::intptr_t InvalidValue = 0>
class UniqueAny_CL {
public:
    using pointer = T;

    UniqueAny_CL() noexcept = default;
    explicit UniqueAny_CL(pointer value) noexcept : value_(value) {}
    ~UniqueAny_CL() { reset(); }

    UniqueAny_CL(UniqueAny_CL&& other) noexcept : value_(other.release()) {}
    UniqueAny_CL& operator=(UniqueAny_CL&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueAny_CL(const UniqueAny_CL&) = delete;
    UniqueAny_CL& operator=(const UniqueAny_CL&) = delete;

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid(); }

    // For out-parameters: frees the current value first.
    pointer* put() noexcept
    {
        reset();
        return &value_;
    }

    pointer release() noexcept { return std::exchange(value_, Invalid()); }

    void reset(pointer value = Invalid()) noexcept
    {
        pointer old = std::exchange(value_, value);
        if (old != Invalid())
            CloseFn(old);
    }

    static pointer Invalid() noexcept { return reinterpret_cast<pointer>(InvalidValue); }

private:
    pointer value_ = Invalid();
};

// Kernel objects that are invalid at null: events, threads, processes, mutexes, pipes.
using UniqueHandle_CL = UniqueAny_CL<HANDLE, &CloseHandle>;
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
using UniqueFile_CL = UniqueAny_CL<HANDLE, &CloseHandle, -1>;
using UniqueFindHandle_CL = UniqueAny_CL<HANDLE, &FindClose, -1>;
using UniqueHKey_CL = UniqueAny_CL<HKEY, &RegCloseKey>;
using UniqueHModule_CL = UniqueAny_CL<HMODULE, &FreeLibrary>;
using UniqueHFont_CL = UniqueAny_CL<HFONT, &DeleteObject>;
using UniqueHGdiObj_CL = UniqueAny_CL<HGDIOBJ, &DeleteObject>;
using UniqueHMenu_CL = UniqueAny_CL<HMENU, &DestroyMenu>;
using UniqueDevNotify_CL = UniqueAny_CL<HDEVNOTIFY, &UnregisterDeviceNotification>;

// A window's device context (the screen's for no window), released with its owner.
class WindowDc_CL {
public:
    explicit WindowDc_CL(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc_CL()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc_CL(const WindowDc_CL&) = delete;
    WindowDc_CL& operator=(const WindowDc_CL&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for as long as it lives; the previous one comes
// back afterwards.
class SelectedObject_CL {
public:
    SelectedObject_CL(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject_CL() { SelectObject(dc_, previous_); }
    SelectedObject_CL(const SelectedObject_CL&) = delete;
    SelectedObject_CL& operator=(const SelectedObject_CL&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
