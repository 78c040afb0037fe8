#pragma once
// Path text, as every part of the program takes it apart: the folder and the name at the last
// backslash, the extension at the last "." (the dot included). Portable: the metadata readers
// use it in their native build as well.

#include <string>

// Everything from the path's last "." on, or empty. A name without a dot in a folder whose
// name has one gets that folder's tail, which no list of extensions holds.
inline std::wstring ExtensionOf(const std::wstring& path)
{
    const std::size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

// A to Z folded to a to z; nothing else changes (extensions are compared this way).
inline std::wstring LowerAscii(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

// One trailing backslash removed, as folders are kept.
inline std::wstring WithoutTrailingBackslash(std::wstring path)
{
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

// The folder part of a path: everything before its last backslash, or empty.
inline std::wstring FolderOfPath(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The name part of a path: everything after its last backslash, or the whole path.
inline std::wstring NameOfPath(const std::wstring& path)
{
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
