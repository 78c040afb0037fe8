#pragma once
// Path text, as every part of the program takes it apart: the folder and the name at the last
// backslash, the extension at the last "." (the dot included). Portable: the metadata readers
// use it in their native build as well.

#include <string>

// True when the name ends in a dot or a space. Such a name (a card written by another system
// can hold one) is trimmed by the plain form of a path, which then names another file.
inline bool EndsInDotOrSpace(const std::wstring& name)
{
    return !name.empty() && (name.back() == L'.' || name.back() == L' ');
}

// The name without its trailing dots and spaces: the name this system can hold, and the one
// its extension is taken from.
inline std::wstring WithoutTrailingDotsAndSpaces(std::wstring name)
{
    while (EndsInDotOrSpace(name))
        name.pop_back();
    return name;
}

// A name the system keeps for a device ("COM1.jpg", "nul.txt", "Aux .jpg"): a card written by
// another system can hold one, and opening it by its path would open the device instead.
inline bool IsDeviceName(const std::wstring& name)
{
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (wchar_t& c : stem)
        c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
           stem[3] >= L'0' && stem[3] <= L'9';
}

// Everything from the path's last "." on, or empty, leaving out trailing dots and spaces
// (which the system does not keep in a name). A name without a dot in a folder whose name has
// one gets that folder's tail, which no list of extensions holds.
inline std::wstring ExtensionOf(const std::wstring& path)
{
    const std::wstring kept = WithoutTrailingDotsAndSpaces(path);
    const std::size_t dot = kept.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : kept.substr(dot);
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
