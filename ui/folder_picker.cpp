#include "ui/folder_picker.h"

#include <shlobj.h>

#include <cwchar>
#include <memory>
#include <string>

#include "base/base_limits.h"
#include "ui/callback_barrier.h"

namespace {

struct PidlDeleter {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// File-system folders only, a status line, an edit box for a typed path, the resizable
// browser of the shell's newer style.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
static_assert(kBrowseFlags == 0x55, "the browser's flags as the folder picker has always used them");

}  // namespace

int CALLBACK FolderPicker::BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data)
{
    // Nothing here can throw, but the browser is the system's: the barrier stands anyway.
    // "FolderSelectDialog_CL" names a class long gone: a text the log keeps as it was.
    return CallbackBarrier(L"FolderSelectDialog_CL", 0, [&] {
        if (message == BFFM_INITIALIZED)
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
        return 0;
    });
}

bool FolderPicker::Select(HWND owner, std::wstring* chosen, const std::wstring& title) const
{
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = kBrowseFlags;
    if (!initialFolder_.empty()) {
        browse.lpfn = &FolderPicker::BrowseCallback;
        browse.lParam = reinterpret_cast<LPARAM>(initialFolder_.c_str());
    }
    std::unique_ptr<ITEMIDLIST, PidlDeleter> list(SHBrowseForFolderW(&browse));
    if (!list)
        return false;
    // A folder at any depth Windows allows, not only within the 260 characters of old.
    std::wstring path(static_cast<std::size_t>(base_limits::kMaxPathChars) + 1, L'\0');
    if (!SHGetPathFromIDListEx(list.get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return false;
    path.resize(wcsnlen(path.c_str(), path.size()));
    *chosen = path;
    return true;
}
