#include "base/status_code.h"

#include <cwchar>

#include "base/handles.h"

std::wstring HexStatus(StatusCode status)
{
    wchar_t text[16];
    _snwprintf(text, 16, L"0x%08x", static_cast<unsigned>(status));
    text[15] = L'\0';
    return text;
}

std::wstring SystemMessageText(StatusCode status)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
        static_cast<DWORD>(status), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer),
        0, nullptr);
    const UniqueLocalMemory owned(buffer);
    std::wstring text;
    for (DWORD i = 0; buffer && i < length; ++i) {
        if (buffer[i] != L'\r' && buffer[i] != L'\n')
            text += buffer[i];
    }
    return text;
}
