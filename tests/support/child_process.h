#pragma once
// Starting our own programs from a test, as a user or a script would.

#include <windows.h>

#include <string>

#include "base/handles.h"

class ChildProcess {
public:
    ChildProcess() = default;
    // A child still running when the test ends is terminated.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // stdoutFile / stderrFile: where the child's output goes; empty leaves it unset.
    bool Start(const std::wstring& commandLine, const std::wstring& stdoutFile = L"",
               const std::wstring& stderrFile = L"");
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    DWORD Id() const { return id_; }

    // The first visible top-level window of this process with the given title (null: any),
    // looked for every pollMs for up to timeoutMs; null when none appeared.
    HWND WaitForWindow(const wchar_t* title, DWORD timeoutMs, DWORD pollMs = 50) const;
    // Any visible top-level window of this process, now.
    bool HasVisibleWindow() const;

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

struct RunResult {
    bool finished = false;  // false: not started, or still running at the time-out and terminated
    DWORD startError = 0;   // why it could not be started
    DWORD exitCode = 0;
    std::string out;        // raw bytes the child wrote to its standard output
    std::string err;
};

// Runs a console program to its end with its output captured in files.
RunResult RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// A program beside the test executable: GetExeFolder() + "\" + name, quoted.
std::wstring QuotedProgram(const wchar_t* name);
