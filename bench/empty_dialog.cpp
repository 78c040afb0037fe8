// The floor of a window program's start: an empty dialog, shown until it is closed.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace {

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// A template of one visible, captioned, empty dialog: no menu, the default class, the caption.
std::vector<WORD> EmptyDialogTemplate(const wchar_t* caption)
{
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    header->cx = 300;
    header->cy = 200;
    words.push_back(0);  // menu
    words.push_back(0);  // class
    for (const wchar_t* at = caption; *at; ++at)
        words.push_back(static_cast<WORD>(*at));
    words.push_back(0);
    return words;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const std::vector<WORD> dialog = EmptyDialogTemplate(L"Empty");
    return static_cast<int>(DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                                    nullptr, EmptyDialogProc, 0));
}
