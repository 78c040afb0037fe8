#include "tests/support/child_process.h"

#include <vector>

#include "base/paths.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"

namespace {

UniqueFile CreateInheritableFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return UniqueFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* title;  // null: any title
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->title) {
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (wcscmp(text, search->title) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* title)
{
    WindowSearch search{processId, title, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

ChildProcess::~ChildProcess()
{
    if (process_ && !WaitForExit(0)) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 10000);
    }
}

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& stdoutFile,
                         const std::wstring& stderrFile)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    UniqueFile out, err;
    const bool redirect = !stdoutFile.empty() || !stderrFile.empty();
    if (redirect) {
        out = CreateInheritableFile(stdoutFile.empty() ? L"NUL" : stdoutFile);
        err = CreateInheritableFile(stderrFile.empty() ? L"NUL" : stderrFile);
        if (!out || !err)
            return false;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
    }
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, redirect, 0, nullptr,
                        nullptr, &startup, &info))
        return false;
    UniqueHandle thread(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) const
{
    return process_ && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_)
        GetExitCodeProcess(process_.get(), &code);
    return code;
}

HWND ChildProcess::WaitForWindow(const wchar_t* title, DWORD timeoutMs, DWORD pollMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindProcessWindow(id_, title))
            return window;
        if (GetTickCount() - start >= timeoutMs || WaitForExit(0))
            return nullptr;
        Sleep(pollMs);
    }
}

bool ChildProcess::HasVisibleWindow() const
{
    return FindProcessWindow(id_, nullptr) != nullptr;
}

RunResult RunAndCapture(const std::wstring& commandLine, DWORD timeoutMs)
{
    RunResult result;
    TempFolder folder;
    const std::wstring outPath = folder.File(L"stdout.txt");
    const std::wstring errPath = folder.File(L"stderr.txt");
    {
        ChildProcess child;
        // Under Wine a process start can fail for a moment while the server is busy starting
        // others; a few tries tell that apart from a program that cannot start.
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            started = child.Start(commandLine, outPath, errPath);
            if (!started) {
                result.startError = GetLastError();
                Sleep(200);
            }
        }
        if (!started)
            return result;
        result.finished = child.WaitForExit(timeoutMs);
        result.exitCode = child.ExitCode();
    }
    const Bytes out = ReadBytes(outPath);
    const Bytes err = ReadBytes(errPath);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

std::wstring QuotedProgram(const wchar_t* name)
{
    return L"\"" + GetExeFolder() + L"\\" + name + L"\"";
}
