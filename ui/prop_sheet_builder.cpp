#include "ui/prop_sheet_builder.h"

#include <commctrl.h>

void PropSheetBuilder::AddPage(DialogBase* page, const std::wstring& title)
{
    pages_.push_back(page);
    titles_.push_back(title);
}

INT_PTR PropSheetBuilder::Run(HWND owner, const std::wstring& caption)
{
    std::vector<HPROPSHEETPAGE> handles;
    for (size_t i = 0; i < pages_.size(); ++i) {
        const PROPSHEETPAGEW description = pages_[i]->PageDescription(titles_[i].c_str(), &sheet_);
        HPROPSHEETPAGE handle = CreatePropertySheetPageW(&description);
        if (!handle) {
            // The sheet never got them: they are ours to destroy.
            for (HPROPSHEETPAGE made : handles)
                DestroyPropertySheetPage(made);
            return -1;
        }
        handles.push_back(handle);
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_USECALLBACK;
    header.hwndParent = owner;
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = caption.c_str();
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    header.pfnCallback = &DialogBase::PropertySheetCallback;
    const INT_PTR result = PropertySheetW(&header);
    sheet_ = nullptr;
    return result;
}
