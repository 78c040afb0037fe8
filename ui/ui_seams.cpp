#include "ui/ui_seams.h"

#include <shellapi.h>

#include "ui/folder_picker.h"
#include "ui/notice_with_button.h"
#include "ui/show_in_folder.h"

namespace {

bool RealPickFolder(HWND owner, const std::wstring& initialFolder, const std::wstring& title, std::wstring* chosen)
{
    FolderPicker dialog;
    dialog.SetInitialFolder(initialFolder);
    return dialog.Select(owner, chosen, title);
}

bool RealShellOpen(HWND owner, const std::wstring& target)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

const UiSeams kReal = {&MessageBoxW, &RealPickFolder, &RealShellOpen, &NoticeWithButton, &ShowFileInFolder};
UiSeams g_seams = kReal;

}  // namespace

UiSeams& ActiveUiSeams()
{
    return g_seams;
}

const UiSeams& RealUiSeams()
{
    return kReal;
}
