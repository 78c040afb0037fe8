#include "ui/notice_with_button.h"

#include <commctrl.h>

#include "base/dll_function.h"

namespace {

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG* config, int* button, int* radio,
                                               BOOL* verification);

// Only version 6 of the common controls, which the program's manifest asks for, has the task
// dialog: it is looked up at run time, so that a process without that manifest still starts.
TaskDialogIndirectFn TaskDialogFunction()
{
    static const DllFunction comctl32(L"comctl32.dll");
    static const auto function = comctl32.Get<TaskDialogIndirectFn>("TaskDialogIndirect");
    return function;
}

PCWSTR IconOf(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return TD_ERROR_ICON;
    case MB_ICONEXCLAMATION:
        return TD_WARNING_ICON;
    default:
        return TD_INFORMATION_ICON;
    }
}

}  // namespace

bool NoticeWithButton(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type, const wchar_t* button)
{
    const TaskDialogIndirectFn taskDialog = TaskDialogFunction();
    if (!taskDialog) {
        MessageBoxW(owner, text, caption, MB_OK | (type & MB_ICONMASK));
        return false;
    }
    const TASKDIALOG_BUTTON extra{kNoticeExtraButtonId, button};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    // Esc and the close box answer as OK does, as they do in a message box.
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = caption;
    config.pszMainIcon = IconOf(type);
    config.pszContent = text;
    config.cButtons = 1;
    config.pButtons = &extra;
    config.nDefaultButton = IDOK;
    int chosen = 0;
    if (FAILED(taskDialog(&config, &chosen, nullptr, nullptr))) {
        MessageBoxW(owner, text, caption, MB_OK | (type & MB_ICONMASK));
        return false;
    }
    return chosen == kNoticeExtraButtonId;
}
