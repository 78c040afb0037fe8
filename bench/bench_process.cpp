#include "bench/bench_process.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

// Calls onFile for every file under the folder, and onFolder for every folder after its
// contents; links are not followed.
template <typename OnFile, typename OnFolder>
void Walk(const std::wstring& folder, const OnFile& onFile, const OnFolder& onFolder)
{
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Walk(path, onFile, onFolder);
            else
                onFile(path, found);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    onFolder(folder);
}

}  // namespace

Timed RunProgram(const std::wstring& commandLine)
{
    Timed timed;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    // What it prints would only break the bench's own lines.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE nothing = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                                 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nothing;
    startup.hStdError = nothing;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (nothing != INVALID_HANDLE_VALUE)
        CloseHandle(nothing);
    if (!started) {
        timed.exitCode = GetLastError();
        return timed;
    }
    // Sampled while it runs: not every system keeps the figures of a process that has ended.
    do {
        PROCESS_MEMORY_COUNTERS memory{};
        if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
            timed.peakBytes = std::max<std::uint64_t>(timed.peakBytes, memory.PeakWorkingSetSize);
    } while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT);
    timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(process.hProcess, &timed.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return timed;
}

double FlushTree(const std::wstring& folder)
{
    const auto start = std::chrono::steady_clock::now();
    Walk(
        folder,
        [](const std::wstring& path, const WIN32_FIND_DATAW&) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                FlushFileBuffers(file);
                CloseHandle(file);
            }
        },
        [](const std::wstring&) {});
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void RemoveTree(const std::wstring& folder)
{
    Walk(
        folder,
        [](const std::wstring& path, const WIN32_FIND_DATAW& found) {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        },
        [](const std::wstring& path) { RemoveDirectoryW(path.c_str()); });
}

std::wstring ThisProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ProgramFolder()
{
    const std::wstring self = ThisProgram();
    return self.substr(0, self.find_last_of(L'\\'));
}
