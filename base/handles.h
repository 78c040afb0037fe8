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
class UniqueAny {
public:
    using pointer = T;

    UniqueAny() noexcept = default;
    explicit UniqueAny(pointer value) noexcept : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

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
using UniqueHandle = UniqueAny<HANDLE, &CloseHandle>;
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
using UniqueFile = UniqueAny<HANDLE, &CloseHandle, -1>;
using UniqueFindHandle = UniqueAny<HANDLE, &FindClose, -1>;
using UniqueRegistryKey = UniqueAny<HKEY, &RegCloseKey>;
using UniqueModule = UniqueAny<HMODULE, &FreeLibrary>;
using UniqueFont = UniqueAny<HFONT, &DeleteObject>;
using UniqueGdiObject = UniqueAny<HGDIOBJ, &DeleteObject>;
using UniqueMenu = UniqueAny<HMENU, &DestroyMenu>;
using UniqueImageList = UniqueAny<HIMAGELIST, &ImageList_Destroy>;
using UniqueDeviceNotification = UniqueAny<HDEVNOTIFY, &UnregisterDeviceNotification>;
// Memory the system allocated for us (FORMAT_MESSAGE_ALLOCATE_BUFFER and the like).
using UniqueLocalMemory = UniqueAny<HLOCAL, &LocalFree>;
// Movable memory for the clipboard, ours until the clipboard takes it.
using UniqueGlobalMemory = UniqueAny<HGLOBAL, &GlobalFree>;
using UniqueMemoryDc = UniqueAny<HDC, &DeleteDC>;
using UniqueInternetHandle = UniqueAny<HINTERNET, &InternetCloseHandle>;

// COM on this thread for as long as it lives. Only a start that succeeded (S_OK, or S_FALSE
// when the thread had it already) is matched by CoUninitialize; a failed one must not be.
class ComInit {
public:
    ComInit() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInit()
    {
        if (started_)
            CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    bool Started() const { return started_; }

private:
    bool started_;
};

// One reference to a COM object, released with its owner.
template <typename T>
class UniqueComPtr {
public:
    UniqueComPtr() = default;
    ~UniqueComPtr() { reset(); }
    UniqueComPtr(const UniqueComPtr&) = delete;
    UniqueComPtr& operator=(const UniqueComPtr&) = delete;
    UniqueComPtr(UniqueComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    UniqueComPtr& operator=(UniqueComPtr&& other) noexcept
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
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { reset(); }
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr))
    {
    }
    WindowDc& operator=(WindowDc&& other) noexcept
    {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

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
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { reset(); }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr))
    {
    }
    SelectedObject& operator=(SelectedObject&& other) noexcept
    {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    void reset()
    {
        if (dc_ && previous_)
            SelectObject(std::exchange(dc_, nullptr), std::exchange(previous_, nullptr));
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
