#pragma once
// What the registry says of a file extension, for display in the settings sheet.

#include <string>

// The "Content Type" value of HKEY_CLASSES_ROOT\<extension>; empty when there is none.
std::wstring RegisteredContentType(const std::wstring& extension);
