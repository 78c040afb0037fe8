#include "base/dll_function.h"

DllFunction_CL::DllFunction_CL(const wchar_t* libraryName) : module_(LoadLibraryW(libraryName)) {}

FARPROC DllFunction_CL::GetFunction(const char* exportName) const
{
    if (!module_)
        return nullptr;
    return GetProcAddress(module_.get(), exportName);
}
