#include "base/dll_function.h"

DllFunction::DllFunction(const wchar_t* libraryName) : module_(LoadLibraryW(libraryName)) {}

FARPROC DllFunction::GetFunction(const char* exportName) const
{
    if (!module_)
        return nullptr;
    return GetProcAddress(module_.get(), exportName);
}
