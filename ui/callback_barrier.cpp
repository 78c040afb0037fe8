#include "ui/callback_barrier.h"

#include <string>

#include "base/log_file.h"

void LogCallbackException(const wchar_t* callback, const char* what) noexcept
{
    try {
        // The text of a standard exception is plain ASCII.
        const std::string text = what ? what : "unknown exception";
        const std::wstring wide(text.begin(), text.end());
        g_Log.Write(L"%s: 例外のため処理を中断しました (%s)", callback, wide.c_str());
    } catch (...) {
        // Out of memory even for the line: nothing more can be said.
    }
}
