#include "organize/registry_file_type.h"

#include <windows.h>

#include <cwchar>

#include "base/handles.h"

namespace {

// Reads a string value into a buffer of 260 bytes; a longer or missing value is empty.
std::wstring ReadClassValue(const std::wstring& extension, const wchar_t* valueName)
{
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[130] = {};
    DWORD bytes = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    return std::wstring(buffer, wcsnlen(buffer, bytes / sizeof(wchar_t)));
}

}  // namespace

std::wstring RegistryFileType::ContentType(const std::wstring& extension)
{
    return ReadClassValue(extension, L"Content Type");
}

std::wstring RegistryFileType::RegisteredType(const std::wstring& extension)
{
    return ReadClassValue(extension, nullptr);
}
