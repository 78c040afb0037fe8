#include "cli/organize_command.h"

#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "base/settings_store.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "cli/console_progress.h"
#include "cli/console_stop.h"
#include "cli/console_writer.h"
#include "cli/program_data.h"
#include "organize/date_folder_format.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/run_checks.h"
#include "organize/run_report.h"
#include "run/organize_and_build_album.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
constexpr int kExitStopped = 3;

struct Options {
    std::wstring output;
    std::vector<std::wstring> inputs;
    std::optional<int> format;
    std::optional<std::wstring> kinds;
    std::optional<bool> album;
    bool yes = false;
    std::wstring settings;
    std::wstring report;
};

// The checks' verdict in the window's words, on standard error; only --yes agrees to add to a
// folder organized before. True when the run may go.
bool AgreeToRun(const RunVerdict& verdict, const PreparedRun& run, bool yes)
{
    if (verdict.kind == RunVerdict::kGo || (verdict.kind == RunVerdict::kAskBeforeAdding && yes))
        return true;
    StdErr().Write(RunVerdictText(verdict, run) + L"\n");
    const bool cancelled = verdict.kind == RunVerdict::kAskBeforeAdding || verdict.kind == RunVerdict::kOtherLayout ||
                           verdict.kind == RunVerdict::kOutputNotEmpty;
    if (cancelled)
        StdErr().Write(std::wstring(kCancelledText) + L"\n");
    return false;
}

int UsageError(const std::wstring& message)
{
    StdErr().Write(L"organize: " + message + L"\n");
    return kExitRefused;
}

bool ParseFormat(const wchar_t* text, int* format)
{
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0' || value < 0 || value >= kDateFolderFormatCount)
        return false;
    *format = static_cast<int>(value);
    return true;
}

// "photo,movie,sound,etc" in any order and number; replaces the four kind switches.
bool ApplyKinds(const std::wstring& list, OrganizeSettings* settings)
{
    settings->ArrangePhoto = settings->ArrangeMovie = settings->ArrangeSound = settings->ArrangeEtc = 0;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = list.find(L',', start);
        const std::wstring kind = list.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (kind == L"photo")
            settings->ArrangePhoto = 1;
        else if (kind == L"movie")
            settings->ArrangeMovie = 1;
        else if (kind == L"sound")
            settings->ArrangeSound = 1;
        else if (kind == L"etc")
            settings->ArrangeEtc = 1;
        else if (!kind.empty())
            return false;
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options* options, std::wstring* error)
{
    for (int i = 0; i < argc; ++i) {
        const std::wstring option = argv[i];
        auto value = [&](const wchar_t** out) {
            if (i + 1 >= argc) {
                *error = option + L" needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const wchar_t* text = nullptr;
        if (option == L"--output") {
            if (!value(&text))
                return false;
            options->output = text;
        } else if (option == L"--input") {
            if (!value(&text))
                return false;
            options->inputs.push_back(text);
        } else if (option == L"--format") {
            int format = 0;
            if (!value(&text))
                return false;
            if (!ParseFormat(text, &format)) {
                *error = L"--format takes a layout number from 0 to 22";
                return false;
            }
            options->format = format;
        } else if (option == L"--kinds") {
            if (!value(&text))
                return false;
            options->kinds = text;
        } else if (option == L"--album" || option == L"--no-album") {
            options->album = option == L"--album";
        } else if (option == L"--yes") {
            options->yes = true;
        } else if (option == L"--settings") {
            if (!value(&text))
                return false;
            options->settings = text;
        } else if (option == L"--report") {
            if (!value(&text))
                return false;
            options->report = text;
        } else {
            *error = L"unknown option " + option;
            return false;
        }
    }
    return true;
}

}  // namespace

int RunOrganizeCommand(int argc, wchar_t** argv)
{
    Options options;
    std::wstring error;
    if (!ParseOptions(argc, argv, &options, &error))
        return UsageError(error);

    // The program's own settings, read and never written; the log is the program's too.
    if (!options.settings.empty() && GetFileAttributesW(ExtendedLengthPath(options.settings).c_str()) == INVALID_FILE_ATTRIBUTES)
        return UsageError(L"cannot read the settings file " + options.settings);
    const std::wstring dataFolder = UseProgramLog();
    std::wstring settingsPath = options.settings;
    if (settingsPath.empty() && !dataFolder.empty())
        settingsPath = dataFolder + L"\\" + kSettingsFileName;
    g_SettingsStore.UsePath(settingsPath);

    g_OrganizeSettings.Load();
    if (options.kinds && !ApplyKinds(*options.kinds, &g_OrganizeSettings))
        return UsageError(L"--kinds takes a comma list of photo, movie, sound and etc");

    RunChoices choices;
    choices.inputFolders = options.inputs;
    choices.outputText = options.output;
    choices.outputFormat = options.format.value_or(g_OrganizeSettings.OutputFormatType);
    choices.makeAlbum = options.album.value_or(g_SettingsStore.GetInt(kAppSettingsSection, L"MakePhotoHtml", 1) != 0);
    choices.albumIncludesNoPreview = g_SettingsStore.GetInt(kAppSettingsSection, L"MakePhotoHtmlIncludeNoPreview", 1) != 0;
    g_OrganizeSettings.SetRunValues(choices.outputFormat, choices.makeAlbum, choices.albumIncludesNoPreview);

    PreparedRun run;
    if (!AgreeToRun(CheckRun(choices, &run), run, options.yes))
        return kExitRefused;

    // Made before the run: a report that cannot be written refuses the run before it starts.
    RunReportFile report;
    if (!options.report.empty() && !report.Open(options.report))
        return UsageError(L"cannot write the report file " + options.report);

    g_Log.Write(L"写真整理(開始)");
    OrganizeResult result;
    {
        ConsoleStopHandler stopOnCtrlC;
        ConsoleProgress progress;
        progress.SetCaption(L"写真の整理中");
        result = OrganizeAndBuildAlbum(g_OrganizeSettings, progress, run.inputFolders, run.outputFolder,
                                       options.report.empty() ? nullptr : &report);
    }
    g_Log.Write(L"写真整理(終了)");
    if (result.Failed()) {
        StdErr().Write(RunFailureText(result) + L"\n");
        return kExitFailed;
    }
    if (result.stopped) {
        StdErr().Write(RunStoppedText(result) + L"\n");
        return kExitStopped;
    }
    const OrganizeCounts& counts = result.counts;
    wchar_t lines[512];
    std::swprintf(lines, 512,
                  L"入力ファイルの数   = %d\n重複ファイルの数   = %d\nコピーファイルの数 = %d\n更新日時で整理したファイルの数 = %d\n",
                  counts.inputFiles, counts.duplicates, counts.copied, counts.datedByLastWrite);
    StdOut().Write(lines);
    if (counts.LeftOut())
        StdErr().Write(LeftOutText(counts) + L"\n");
    // Files that could not be read or copied were not organized: a script must not take the
    // run as whole.
    return counts.unreadable || counts.notOrganized ? kExitFailed : kExitOk;
}
