#pragma once
// What the registry says of a file extension, for display in the settings sheet.

#include <string>

class RegistryFileType {
public:
    // The "Content Type" value of HKEY_CLASSES_ROOT\<extension>; empty when there is none.
    static std::wstring ContentType(const std::wstring& extension);
    // The default value of that key: the file type the extension is registered to.
    static std::wstring RegisteredType(const std::wstring& extension);
};
