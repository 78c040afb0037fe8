#pragma once
// The calls that block for the user or leave the process: message boxes, the folder picker,
// the shell's open and Explorer. Each goes through one replaceable function, so that tests can answer
// for the user; the program itself always uses the real ones.

#include <windows.h>

#include <string>

struct UiSeams {
    int (*messageBox)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    // True with the chosen folder; false when the user cancels.
    bool (*pickFolder)(HWND owner, const std::wstring& initialFolder, const std::wstring& title,
                       std::wstring* chosen);
    // Opens a file or web address with its default program.
    bool (*shellOpen)(HWND owner, const std::wstring& target);
    // A message box with an OK button and one more, `button` (its text, mnemonic and all);
    // `type` gives the icon as the message box's MB_ICON flags do. True when the user chose
    // that button.
    bool (*noticeWithButton)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type,
                             const wchar_t* button);
    // Shows a file selected in its folder in Explorer (the folder alone when the file is gone).
    bool (*showInFolder)(HWND owner, const std::wstring& path);
};

// The seams in force; tests swap entries and put them back.
UiSeams& ActiveUiSeams();
// The real functions.
const UiSeams& RealUiSeams();

inline int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    return ActiveUiSeams().messageBox(owner, text.c_str(), caption.c_str(), type);
}

inline bool PickFolder(HWND owner, const std::wstring& initialFolder, const std::wstring& title,
                       std::wstring* chosen)
{
    return ActiveUiSeams().pickFolder(owner, initialFolder, title, chosen);
}

inline bool ShellOpen(HWND owner, const std::wstring& target)
{
    return ActiveUiSeams().shellOpen(owner, target);
}

inline bool ShowNoticeWithButton(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                                 const std::wstring& button)
{
    return ActiveUiSeams().noticeWithButton(owner, text.c_str(), caption.c_str(), type, button.c_str());
}

inline bool ShowInFolder(HWND owner, const std::wstring& path)
{
    return ActiveUiSeams().showInFolder(owner, path);
}
