#include "base/paths.h"

#include <windows.h>
#include <shlobj.h>

namespace {
std::wstring g_dataFolder;
}

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
