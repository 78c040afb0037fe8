#include "ui/show_in_folder.h"

#include <shellapi.h>

#include "base/paths.h"

namespace {

bool Exists(const std::wstring& path)
{
    // A file deeper than the old path limit is still looked for where it is.
    return GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool StartExplorer(HWND owner, const std::wstring& arguments)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, nullptr, L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace

bool ShowFileInFolder(HWND owner, const std::wstring& path)
{
    // Quoted: a comma in a name would otherwise end the path Explorer reads.
    if (Exists(path))
        return StartExplorer(owner, L"/select,\"" + path + L"\"");
    std::wstring folder = path;
    for (;;) {
        const size_t cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut == 0)
            return false;
        folder.resize(cut);
        if (Exists(folder + L"\\"))
            return StartExplorer(owner, L"\"" + folder + L"\"");
    }
}
