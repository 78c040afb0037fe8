#pragma once
// One owning type per handle kind. Each handle has exactly one owner: the type moves but
// never copies, and whatever it holds is closed when it goes out of scope.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <wininet.h>

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

    // Closing never changes the thread's last error: a caller that owns a handle on a failure
    // path still reads the error of the call that failed.
    void reset(pointer value = Invalid()) noexcept
    {
        pointer old = std::exchange(value_, value);
        if (old != Invalid()) {
            const DWORD error = GetLastError();
            CloseFn(old);
            SetLastError(error);
        }
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
using UniqueHImageList_CL = UniqueAny_CL<HIMAGELIST, &ImageList_Destroy>;
using UniqueDevNotify_CL = UniqueAny_CL<HDEVNOTIFY, &UnregisterDeviceNotification>;
// Memory the system allocated for us (FORMAT_MESSAGE_ALLOCATE_BUFFER and the like).
using UniqueHLocal_CL = UniqueAny_CL<HLOCAL, &LocalFree>;
using UniqueMemoryDc_CL = UniqueAny_CL<HDC, &DeleteDC>;
using UniqueHInternet_CL = UniqueAny_CL<HINTERNET, &InternetCloseHandle>;

// COM on this thread for as long as it lives. Only a start that succeeded (S_OK, or S_FALSE
// when the thread had it already) is matched by CoUninitialize; a failed one must not be.
class ComInit_CL {
public:
    ComInit_CL() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInit_CL()
    {
        if (started_)
            CoUninitialize();
    }
    ComInit_CL(const ComInit_CL&) = delete;
    ComInit_CL& operator=(const ComInit_CL&) = delete;
    bool Started() const { return started_; }

private:
    bool started_;
};

// One reference to a COM object, released with its owner.
template <typename T>
class UniqueComPtr_CL {
public:
    UniqueComPtr_CL() = default;
    ~UniqueComPtr_CL() { reset(); }
    UniqueComPtr_CL(const UniqueComPtr_CL&) = delete;
    UniqueComPtr_CL& operator=(const UniqueComPtr_CL&) = delete;
    UniqueComPtr_CL(UniqueComPtr_CL&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    UniqueComPtr_CL& operator=(UniqueComPtr_CL&& other) noexcept
    {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For a function that hands out a new reference; the old one is released first.
    T** put()
    {
        reset();
        return &object_;
    }
    void reset()
    {
        if (object_)
            object_->Release();
        object_ = nullptr;
    }

private:
    T* object_ = nullptr;
};

// A window's device context (the screen's for no window), released with its owner.
class WindowDc_CL {
public:
    explicit WindowDc_CL(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc_CL() { reset(); }
    WindowDc_CL(WindowDc_CL&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr))
    {
    }
    WindowDc_CL& operator=(WindowDc_CL&& other) noexcept
    {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDc_CL(const WindowDc_CL&) = delete;
    WindowDc_CL& operator=(const WindowDc_CL&) = delete;

    HDC get() const { return dc_; }
    void reset()
    {
        if (dc_)
            ReleaseDC(window_, std::exchange(dc_, nullptr));
    }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for as long as it lives; the previous one comes
// back afterwards.
class SelectedObject_CL {
public:
    SelectedObject_CL(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject_CL() { reset(); }
    SelectedObject_CL(SelectedObject_CL&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr))
    {
    }
    SelectedObject_CL& operator=(SelectedObject_CL&& other) noexcept
    {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    SelectedObject_CL(const SelectedObject_CL&) = delete;
    SelectedObject_CL& operator=(const SelectedObject_CL&) = delete;

    void reset()
    {
        if (dc_ && previous_)
            SelectObject(std::exchange(dc_, nullptr), std::exchange(previous_, nullptr));
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
