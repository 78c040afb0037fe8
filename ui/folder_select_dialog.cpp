#include "ui/folder_select_dialog.h"

#include <shlobj.h>

#include <memory>

namespace {

struct PidlDeleter {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

}  // namespace

int CALLBACK FolderSelectDialog_CL::BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool FolderSelectDialog_CL::Select(HWND owner, std::wstring* chosen, const std::wstring& title) const
{
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = 0x55;  // file-system folders only, no domain browsing, edit box, new style
    if (!initialFolder_.empty()) {
        browse.lpfn = &FolderSelectDialog_CL::BrowseCallback;
        browse.lParam = reinterpret_cast<LPARAM>(initialFolder_.c_str());
    }
    std::unique_ptr<ITEMIDLIST, PidlDeleter> list(SHBrowseForFolderW(&browse));
    if (!list)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list.get(), path))
        return false;
    *chosen = path;
    return true;
}
