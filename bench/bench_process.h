#pragma once
// What the benchmarks do around the runs they time: starting a program and sampling
// its memory, putting a folder's files on the disk.

#include <windows.h>

#include <cstdint>
#include <string>

struct Timed {
    double seconds = 0;
    std::uint64_t peakBytes = 0;  // the peak working set, sampled while it ran
    DWORD exitCode = 0;
};

// Runs the command line to its end.
Timed RunProgram(const std::wstring& commandLine);

// Flushes every file under the folder to the disk; the seconds it took.
double FlushTree(const std::wstring& folder);

// This program's own path.
std::wstring ThisProgram();

// A path or argument in double quotes, for a command line.
std::wstring Quoted(const std::wstring& text);
