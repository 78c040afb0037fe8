#include "app/registry_file_type.h"

#include <windows.h>

#include <cwchar>

#include "base/handles.h"

std::wstring RegisteredContentType(const std::wstring& extension)
{
    // A string of up to 260 bytes; a longer or missing value is empty.
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[130] = {};
    DWORD bytes = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), L"Content Type", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring();
    return std::wstring(buffer, wcsnlen(buffer, bytes / sizeof(wchar_t)));
}
