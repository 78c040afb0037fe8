#include "bench/bench_process.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "base/folder_walk.h"
#include "base/handles.h"

namespace {

// Every file under a folder flushed to the disk; links are not followed.
class TreeFlusher : public FolderWalker {
protected:
    void OnFile(const std::wstring& folder, const WIN32_FIND_DATAW& found) override
    {
        UniqueFile file(CreateFileW((folder + L"\\" + found.cFileName).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (file)
            FlushFileBuffers(file.get());
    }
};

}  // namespace

Timed RunProgram(const std::wstring& commandLine)
{
    Timed timed;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    // What it prints would only break the bench's own lines.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    UniqueFile nothing(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                   OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nothing.get();
    startup.hStdError = nothing.get();
    PROCESS_INFORMATION started{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
        timed.exitCode = GetLastError();
        return timed;
    }
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    // Sampled while it runs: not every system keeps the figures of a process that has ended.
    do {
        PROCESS_MEMORY_COUNTERS memory{};
        if (GetProcessMemoryInfo(process.get(), &memory, sizeof memory))
            timed.peakBytes = std::max<std::uint64_t>(timed.peakBytes, memory.PeakWorkingSetSize);
    } while (WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT);
    timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(process.get(), &timed.exitCode);
    return timed;
}

double FlushTree(const std::wstring& folder)
{
    const auto start = std::chrono::steady_clock::now();
    TreeFlusher().Walk(folder);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring Quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}
