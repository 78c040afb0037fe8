#include "bench/start_times.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/settings_store.h"
#include "bench/bench_process.h"
#include "tests/support/child_process.h"
#include "tests/support/documents_folder.h"
#include "tests/support/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

// The seconds from the program's start until a window of it is shown; it is then closed as
// the user closes it. Negative when no window came within a minute.
double SecondsUntilWindowShown(const std::wstring& commandLine)
{
    ChildProcess program;
    const auto start = Clock::now();
    if (!program.Start(commandLine))
        return -1;
    const HWND shown = program.WaitForWindow(nullptr, 60000, 1);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!shown)
        return -1;
    PostMessageW(shown, WM_CLOSE, 0, 0);
    // One still running is ended when `program` goes.
    program.WaitForExit(20000);
    return seconds;
}

struct Spread {
    double fastest = 0, median = 0, slowest = 0;
};

Spread SpreadOf(std::vector<double> seconds)
{
    std::sort(seconds.begin(), seconds.end());
    if (seconds.empty())
        return {};
    return {seconds.front(), seconds[seconds.size() / 2], seconds.back()};
}

void PrintComparison(const char* ours, const std::vector<double>& oursSeconds, const char* floor,
                     const std::vector<double>& floorSeconds)
{
    const Spread a = SpreadOf(oursSeconds), b = SpreadOf(floorSeconds);
    std::printf("  %-28s fastest %.3f s, median %.3f s, slowest %.3f s\n", ours, a.fastest, a.median, a.slowest);
    std::printf("  %-28s fastest %.3f s, median %.3f s, slowest %.3f s\n", floor, b.fastest, b.median, b.slowest);
    std::printf("  fastest against fastest: %+.3f s\n", a.fastest - b.fastest);
}

// Runs `ours` and `floor` in turn, each first every other time, after a run of each that warms
// what they load.
template <typename TimeOne>
void Compare(int runs, const char* oursName, const std::wstring& ours, const char* floorName,
             const std::wstring& floor, TimeOne timeOne)
{
    timeOne(ours);
    timeOne(floor);
    std::vector<double> oursSeconds, floorSeconds;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (run % 2 == 0))
                oursSeconds.push_back(timeOne(ours));
            else
                floorSeconds.push_back(timeOne(floor));
        }
    }
    PrintComparison(oursName, oursSeconds, floorName, floorSeconds);
}

// A settings file in the redirected data folder that keeps the window from asking the network
// for a new version.
void WriteQuietSettings(const std::wstring& documents)
{
    // The data folder's name, as the program names it under Documents.
    const std::wstring dataFolder = documents + L"\\Lumidex";
    CreateDirectoryW(dataFolder.c_str(), nullptr);
    SettingsStore settings;
    settings.Open(dataFolder + L"\\" + kSettingsFileName);
    if (!settings.SetInt(L"VERSION", L"notify", 1))
        std::printf("  (the settings could not be written: the window may ask the network)\n");
}

}  // namespace

void PrintStartTimes(int runs)
{
    const std::wstring folder = GetExeFolder() + L"\\";
    std::printf("start times, fastest of %d runs each, in turn first\n", runs);
    Compare(runs, "kasumiro-cli --version", Quoted(folder + L"kasumiro-cli.exe") + L" --version",
            "an empty console program", Quoted(folder + L"kasumiro_empty_console.exe"),
            [](const std::wstring& line) { return RunProgram(line).seconds; });

    TempFolder documents;
    const ScopedDocumentsFolder redirect(documents.Path());
    WriteQuietSettings(documents.Path());
    Compare(runs, "Kasumiro's window shown", Quoted(folder + L"Kasumiro.exe"), "an empty dialog shown",
            Quoted(folder + L"kasumiro_empty_dialog.exe"), SecondsUntilWindowShown);
}
