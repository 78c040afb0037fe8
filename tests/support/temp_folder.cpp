#include "tests/support/temp_folder.h"

#include <windows.h>

#include <atomic>
#include <cwchar>

#include "base/handles.h"
#include "tests/support/host_files.h"

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp);
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    for (;;) {
        wchar_t name[96];
        _snwprintf(name, 96, L"\\kasumiro-test-%lu-%lu-%u", GetCurrentProcessId(),
                   GetTickCount(), counter++);
        name[95] = L'\0';
        path_ = base + name;
        if (CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            path_.clear();
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    if (path_.empty())
        return;
    DeleteTree(path_);
    // What the Windows side cannot name or remove (a link left dangling, a name with ':'),
    // the host removes; rm does not follow links.
    if (GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::string hostPath = HostPathOf(path_);
        if (hostPath.find("kasumiro-test-") != std::string::npos)
            RunHostCommand("rm -rf '" + hostPath + "'");
    }
}

std::wstring TempFolder::File(const std::wstring& name) const
{
    return path_ + L"\\" + name;
}

void DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            // A link is removed itself: what it leads to may lie outside, or be this folder.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                if (!RemoveDirectoryW(path.c_str()))
                    RemoveHostLink(path);
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    find.reset();
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}
