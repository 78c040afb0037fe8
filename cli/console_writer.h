#pragma once
// Text output of the console program: a console gets UTF-16 through the wide console API
// (so Japanese file names show whatever the code page), a pipe or file gets UTF-8.

#include <windows.h>

#include <string_view>

class ConsoleWriter {
public:
    explicit ConsoleWriter(DWORD standardHandle);
    void Write(std::wstring_view text) const;
    bool IsConsole() const { return isConsole_; }

private:
    HANDLE handle_;  // borrowed from the process; not ours to close
    bool isConsole_;
};

const ConsoleWriter& StdOut();
const ConsoleWriter& StdErr();
