#pragma once
// A property sheet of pages on the dialog base: the pages, their templates and tab titles in
// order, shown modally over an owner and centred on it.

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "ui/dialog_base.h"

class PropSheetBuilder {
public:
    // The page stays the caller's and must outlive Run.
    void AddPage(DialogBase* page, const std::wstring& title);
    // 1 when changes were applied, 0 when the sheet was cancelled without applying, -1 when it
    // could not be shown.
    INT_PTR Run(HWND owner, const std::wstring& caption);

    // The sheet's window while it is up (for whoever drives it: its tests).
    HWND Sheet() const { return sheet_; }

private:
    std::vector<std::wstring> titles_;
    std::vector<DialogBase*> pages_;
    HWND sheet_ = nullptr;
};
