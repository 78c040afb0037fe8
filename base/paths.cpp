#include "base/paths.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string_view>

#include "base/base_limits.h"

namespace {

std::wstring g_dataFolder;

bool StartsWith(const std::wstring& text, const wchar_t* start)
{
    return text.rfind(start, 0) == 0;
}

// "X:\" or "\\server\share" and names below it, each between single backslashes, none of
// them "." or "..": a path the system would take as it stands.
bool IsPlainFullPath(const std::wstring& path)
{
    std::size_t start = 0;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')))
        start = 3;
    else if (path.size() > 2 && StartsWith(path, L"\\\\") && path[2] != L'\\')
        start = 2;
    else
        return false;
    if (path.find(L'/', start) != std::wstring::npos)
        return false;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring_view name(path.data() + start, end - start);
        // A trailing backslash ends the loop; an empty name comes only from two in a row.
        if (name.empty() || name == L"." || name == L"..")
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool SamePathText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring UpperCasePath(std::wstring path)
{
    if (!path.empty())
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

std::wstring GetExeFolder()
{
    // Grow the buffer rather than cut a long path: a cut folder would point elsewhere.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return FolderOfPath(path);
        }
        if (path.size() >= 32768)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

bool IsDeveloperMachine()
{
    return GetFileAttributesW(L"c:\\MyHome.txt") != INVALID_FILE_ATTRIBUTES;
}

std::wstring DefaultDataFolder()
{
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)) || !documents[0])
        return std::wstring();
    return std::wstring(documents) + L"\\Lumidex";
}

const std::wstring& DataFolder()
{
    return g_dataFolder;
}

void SetDataFolder(const std::wstring& folder)
{
    g_dataFolder = folder;
}

std::wstring FullPathOf(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    return full;
}

std::wstring ExtendedLengthPath(const std::wstring& path)
{
    if (path.empty() || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path;
    const std::wstring full = IsPlainFullPath(path) ? path : FullPathOf(path);
    if (full.empty() || StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\"))
        return full.empty() ? path : full;
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool FitsPathLimit(const std::wstring& path)
{
    // "\\?\UNC\" makes "\\server" six characters longer; a drive's path gets four.
    return path.size() + 6 < std::size_t{base_limits::kMaxPathChars};
}
