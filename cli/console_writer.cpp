#include "cli/console_writer.h"

#include <string>

#include "base/text_encoding.h"

ConsoleWriter::ConsoleWriter(DWORD standardHandle)
    : handle_(GetStdHandle(standardHandle)), isConsole_(false)
{
    DWORD mode = 0;
    isConsole_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
                 GetConsoleMode(handle_, &mode);
}

void ConsoleWriter::Write(std::wstring_view text) const
{
    if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE || text.empty())
        return;
    DWORD written = 0;
    if (isConsole_) {
        WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string utf8 = ToUtf8(text);
    WriteFile(handle_, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

const ConsoleWriter& StdOut()
{
    static const ConsoleWriter writer(STD_OUTPUT_HANDLE);
    return writer;
}

const ConsoleWriter& StdErr()
{
    static const ConsoleWriter writer(STD_ERROR_HANDLE);
    return writer;
}
