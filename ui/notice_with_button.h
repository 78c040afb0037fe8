#pragma once
// A notice with a button of ours beside OK: the task dialog of the common controls, which a
// message box cannot be given.

#include <windows.h>

// The notice's own command ID for the extra button.
inline constexpr int kNoticeExtraButtonId = 1001;

// Shows `text` under `caption` with the icon of `type` (MB_ICONINFORMATION, MB_ICONEXCLAMATION,
// MB_ICONERROR), an OK button and `button`. True when the user chose `button`. Where the system
// has no task dialog, a plain message box with OK alone stands in.
bool NoticeWithButton(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type, const wchar_t* button);
