#include "base/trace.h"

#include <windows.h>

#include "base/text_encoding.h"

void WriteTraceLine(const std::wstring& line)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE)
        return;
    const std::string utf8 = ToUtf8(line + L"\n");
    DWORD written = 0;
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}
