#pragma once
// The platform's folder browser, opened on a folder of our choosing.

#include <windows.h>

#include <string>

class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    void SetInitialFolder(const std::wstring& folder) { initialFolder_ = folder; }
    // True with the chosen folder's path; false (and `chosen` unchanged) when the user
    // cancels or picks something that is not a folder on disk.
    bool Select(HWND owner, std::wstring* chosen, const std::wstring& title) const;

private:
    static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);
    std::wstring initialFolder_;
};
