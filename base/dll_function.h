#pragma once
// A library loaded at run time, for functions that not every Windows version exports.

#include <windows.h>

#include "base/handles.h"

class DllFunction {
public:
    // A library that cannot be loaded leaves the object empty; GetFunction then gives null.
    explicit DllFunction(const wchar_t* libraryName);
    virtual ~DllFunction() = default;

    FARPROC GetFunction(const char* exportName) const;

    template <typename Fn>
    Fn Get(const char* exportName) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetFunction(exportName)));
    }

    bool IsLoaded() const { return static_cast<bool>(module_); }

private:
    UniqueModule module_;
};
