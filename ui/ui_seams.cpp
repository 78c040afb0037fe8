#include "ui/ui_seams.h"

#include <shellapi.h>

#include "ui/folder_select_dialog.h"

namespace {

bool RealPickFolder(HWND owner, const std::wstring& initialFolder, const std::wstring& title, std::wstring* chosen)
{
    FolderSelectDialog_CL dialog;
    dialog.SetInitialFolder(initialFolder);
    return dialog.Select(owner, chosen, title);
}

bool RealShellOpen(HWND owner, const std::wstring& target)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

const UiSeams_CL kReal = {&MessageBoxW, &RealPickFolder, &RealShellOpen};
UiSeams_CL g_seams = kReal;

}  // namespace

UiSeams_CL& UiSeams()
{
    return g_seams;
}

const UiSeams_CL& RealUiSeams()
{
    return kReal;
}
