// How fast and how lean an organize run is, against the floor of any Windows program: a
// bare program that walks the same folders and copies every file with CopyFileW. Prints its
// figures; never fails on a timing.
//
//   kasumiro_organize_bench [--root FOLDER] [--on-disk] MODE [VALUES] [MODE [VALUES] ...]
//     pairs [COUNT]     the cards corpus (400 files, 830 MB: duplicates, look-alikes, name
//                       clashes, Japanese names): COUNT paired runs (5) of the bare copy and
//                       kasumiro-cli organize, in turn first, the median ratio and the ratio of
//                       the fastest of each
//     workers [LIST]    the same corpus organized in this process with each number of copy
//                       workers (1,2,3,4,6,8), where the time goes, and what a process costs
//     lookalikes [LIST] sets of that many look-alike screenshots (100,300,1000)
//     scale [LIST]      that many small camera files (50 a day) on 10 cards of 100 folders
//                       (5000,50000): the first run, a rerun, peak memory
//     memory            the memory a listed file and a record entry take, at a million
//     start [COUNT]     the start of kasumiro-cli --version and of the main window against
//                       an empty console program and an empty dialog: COUNT runs of each (7)
//   --root: where the corpora and outputs go (a RAM disk, or a folder on the disk); --on-disk:
//   every run is timed until its data is on the disk (each file flushed, on both sides).

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/folder_walk.h"
#include "base/handles.h"
#include "base/paths.h"
#include "base/settings_store.h"
#include "bench/bench_process.h"
#include "bench/organize_corpus.h"
#include "bench/quiet_progress.h"
#include "bench/start_times.h"
#include "organize/file_facts.h"
#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/output_names.h"
#include "organize/output_record.h"
#include "tests/support/temp_folder.h"

namespace {

struct Options {
    std::wstring root;
    bool onDisk = false;
};

std::vector<int> ListOf(const wchar_t* text, std::vector<int> fallback)
{
    if (!text || !iswdigit(text[0]))
        return fallback;
    std::vector<int> values;
    for (const wchar_t* at = text; *at;) {
        wchar_t* end = nullptr;
        values.push_back(static_cast<int>(std::wcstol(at, &end, 10)));
        at = *end == L',' ? end + 1 : end;
        if (end == at && *at)
            break;
    }
    return values;
}

// Settings of the bench's own: every kind organized, one folder a day.
std::wstring WriteSettings(const std::wstring& root)
{
    const std::wstring path = root + L"\\settings.ini";
    {
        // A UTF-16 file, as the program's own settings are.
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), "\xFF\xFE", 2, &written, nullptr);
    }
    for (const wchar_t* key : {L"arrnge_photo", L"arrnge_movie", L"arrnge_sound"})
        WritePrivateProfileStringW(kAppSettingsSection, key, L"1", path.c_str());
    return path;
}

std::wstring OrganizeCommand(const std::wstring& settings, const Corpus& corpus, const std::wstring& output)
{
    std::wstring line = Quoted(GetExeFolder() + L"\\kasumiro-cli.exe") + L" organize --format 8 --no-album --yes" +
                        L" --settings " + Quoted(settings) + L" --output " + Quoted(output);
    for (const std::wstring& input : corpus.inputs)
        line += L" --input " + Quoted(input);
    return line;
}

std::wstring BareCopyCommand(const Corpus& corpus, const std::wstring& output)
{
    std::wstring line = Quoted(ThisProgram()) + L" --bare-copy " + Quoted(output);
    for (const std::wstring& input : corpus.inputs)
        line += L" " + Quoted(input);
    return line;
}

// The floor: every file under the inputs copied with CopyFileW into one folder, nothing else.
int BareCopy(int argc, wchar_t** argv)
{
    const std::wstring output = argv[0];
    CreateDirectoryW(output.c_str(), nullptr);
    int copied = 0;
    std::vector<std::wstring> folders(argv + 1, argv + argc);
    while (!folders.empty()) {
        const std::wstring folder = folders.back();
        folders.pop_back();
        WIN32_FIND_DATAW found{};
        UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
        if (!find)
            continue;
        do {
            const std::wstring name = found.cFileName, path = folder + L"\\" + name;
            if (IsDotEntry(found))
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(path);
            else if (!CopyFileW(path.c_str(), (output + L"\\" + std::to_wstring(++copied) + L"_" + name).c_str(), TRUE))
                return 1;
        } while (FindNextFileW(find.get(), &found));
    }
    return 0;
}

// A program run into a fresh output folder, timed until its data is on the disk when asked.
Timed TimeRun(const Options& options, const std::wstring& command, const std::wstring& output, bool fresh = true)
{
    if (fresh)
        DeleteTree(output);
    Timed timed = RunProgram(command);
    if (options.onDisk)
        timed.seconds += FlushTree(output);
    return timed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

const char* Place(const Options& options)
{
    return options.onDisk ? "on the disk, timed until the data is on it" : "on a RAM disk";
}

void PrintCorpus(const char* what, const Corpus& corpus)
{
    std::printf("%s: %d files, %.0f MB\n", what, corpus.files, corpus.bytes / 1e6);
}

void Pairs(const Options& options, const Corpus& corpus, const std::wstring& settings, int pairs)
{
    std::printf("kasumiro-cli organize against the bare copy, %s, %d pairs\n", Place(options), pairs);
    const std::wstring organized = options.root + L"\\organized", bare = options.root + L"\\bare";
    TimeRun(options, BareCopyCommand(corpus, bare), bare);  // warms what both read
    std::vector<double> ratios, organizeTimes, bareTimes;
    for (int pair = 0; pair < pairs; ++pair) {
        Timed ours, floor;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == (pair % 2 == 0))
                ours = TimeRun(options, OrganizeCommand(settings, corpus, organized), organized);
            else
                floor = TimeRun(options, BareCopyCommand(corpus, bare), bare);
        }
        ratios.push_back(ours.seconds / floor.seconds);
        organizeTimes.push_back(ours.seconds);
        bareTimes.push_back(floor.seconds);
        std::printf("  pair %d (%s first): organize %.2f s, bare copy %.2f s, ratio %.2f%s\n", pair + 1,
                    pair % 2 == 0 ? "organize" : "bare copy", ours.seconds, floor.seconds, ratios.back(),
                    ours.exitCode || floor.exitCode ? "  (a run failed)" : "");
    }
    // The fastest of each side beside the median: on a shared machine the slow runs are the
    // ones others slowed down.
    const double fastestOrganize = *std::min_element(organizeTimes.begin(), organizeTimes.end());
    const double fastestBare = *std::min_element(bareTimes.begin(), bareTimes.end());
    std::printf("  median ratio %.2f (min %.2f, max %.2f); fastest organize %.2f s against fastest bare copy %.2f s: "
                "ratio %.2f\n",
                Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), fastestOrganize, fastestBare,
                fastestOrganize / fastestBare);
    DeleteTree(organized);
    DeleteTree(bare);
}

// A run in this process with that many copy workers, into a fresh output folder: where its
// time went, with the flush of every file when timed until the data is on the disk.
OrganizeTimings OrganizeHere(const Options& options, const Corpus& corpus, const std::wstring& settingsPath,
                             const std::wstring& output, int workers)
{
    g_SettingsStore.UsePath(settingsPath);
    OrganizeSettings settings;
    settings.Load();
    settings.SetRunValues(8, false, false);
    DeleteTree(output);
    QuietProgress progress;
    const OrganizeResult result = RunOrganize(settings, progress, corpus.inputs, output, workers);
    if (result.Failed())
        std::printf("  (the run failed)\n");
    OrganizeTimings timings = result.timings;
    if (options.onDisk)
        timings.total += FlushTree(output);
    return timings;
}

void PrintTimingsHeading(const char* what)
{
    std::printf("  %-8s %7s   %s\n", what, "seconds", "record, listing, duplicates, names, copy waits, flushes, saves");
}

void PrintTimings(int label, double seconds, const OrganizeTimings& t)
{
    std::printf("  %-8d %7.2f   %.2f %.2f %.2f %.2f %.2f %.2f %.2f\n", label, seconds, t.recordLoad, t.listing,
                t.duplicateTests, t.planning, t.copyWaits, t.copyFlushes, t.recordSaves);
}

void Workers(const Options& options, const Corpus& corpus, const std::wstring& settingsPath,
             const std::vector<int>& counts)
{
    std::printf("the cards corpus organized in this process, %s (median of 3, the parts of the last)\n",
                Place(options));
    const std::wstring output = options.root + L"\\organized";
    PrintTimingsHeading("workers");
    double defaultWorkers = 0;
    for (int workers : counts) {
        std::vector<double> totals;
        OrganizeTimings timings;
        for (int repeat = 0; repeat < 3; ++repeat) {
            timings = OrganizeHere(options, corpus, settingsPath, output, workers);
            totals.push_back(timings.total);
        }
        if (workers == kDefaultCopyWorkers)
            defaultWorkers = Median(totals);
        PrintTimings(workers, Median(totals), timings);
    }
    if (defaultWorkers > 0) {
        std::vector<double> processes;
        for (int repeat = 0; repeat < 3; ++repeat)
            processes.push_back(TimeRun(options, OrganizeCommand(settingsPath, corpus, output), output).seconds);
        std::printf("  kasumiro-cli with %d workers %.2f s: start-up, checks and exit %.2f s\n", kDefaultCopyWorkers,
                    Median(processes), Median(processes) - defaultWorkers);
    }
    DeleteTree(output);
}

struct RunAndRerun {
    Timed first;
    Timed rerun;
    const char* Verdict() const { return first.exitCode || rerun.exitCode ? "  (a run failed)" : ""; }
};

// The corpus made at `root` put on the disk first (its write-back is not the runs' to pay),
// then a run of the console program into a fresh output folder and a rerun into the same.
RunAndRerun TimeRunAndRerun(const Options& options, const std::wstring& settings, const Corpus& corpus,
                            const std::wstring& root, const std::wstring& output)
{
    FlushTree(root);
    RunAndRerun runs;
    runs.first = TimeRun(options, OrganizeCommand(settings, corpus, output), output);
    runs.rerun = TimeRun(options, OrganizeCommand(settings, corpus, output), output, false);
    return runs;
}

void LookAlikes(const Options& options, const std::wstring& settings, const std::vector<int>& counts)
{
    std::printf("look-alike screenshots (one size, one head), %s\n", Place(options));
    const std::wstring root = options.root + L"\\lookalikes", output = options.root + L"\\organized";
    for (int count : counts) {
        const auto [first, rerun] = TimeRunAndRerun(options, settings, MakeLookAlikes(root, count), root, output);
        std::printf("  %5d files: %6.2f s (%.2f ms a file), rerun %6.2f s (%.2f ms a file)%s\n", count, first.seconds,
                    first.seconds * 1000 / count, rerun.seconds, rerun.seconds * 1000 / count,
                    RunAndRerun{first, rerun}.Verdict());
        DeleteTree(output);
        DeleteTree(root);
    }
}

std::uint64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

void Scale(const Options& options, const std::wstring& settings, const std::vector<int>& counts)
{
    std::printf("a camera library of small files (50 a day) on 10 cards of 100 folders, %s\n", Place(options));
    const std::wstring root = options.root + L"\\many", output = options.root + L"\\organized";
    double firstPerFile = 0, rerunPerFile = 0;
    for (int count : counts) {
        const Corpus corpus = MakeManySmallFiles(root, count);
        const RunAndRerun runs = TimeRunAndRerun(options, settings, corpus, root, output);
        const Timed &first = runs.first, &rerun = runs.rerun;
        const double perFile = first.seconds * 1000 / count, rerunPer = rerun.seconds * 1000 / count;
        if (firstPerFile == 0) {
            firstPerFile = perFile;
            rerunPerFile = rerunPer;
        }
        std::printf("  %7d files: first run %6.1f s (%.2f ms a file, %3.0f %% of the smallest's; peak %.0f MB, %.0f "
                    "bytes a file), rerun %6.1f s (%.2f ms a file, %3.0f %%; peak %.0f MB, %.0f bytes a file), record "
                    "%.1f MB%s\n",
                    count, first.seconds, perFile, 100 * perFile / firstPerFile, first.peakBytes / 1e6,
                    double(first.peakBytes) / count, rerun.seconds, rerunPer, 100 * rerunPer / rerunPerFile,
                    rerun.peakBytes / 1e6, double(rerun.peakBytes) / count, FileSize(RecordPathOf(output)) / 1e6,
                    runs.Verdict());
        std::fflush(stdout);
        // The parts of the run, in this process, below the figures of the whole.
        const OrganizeTimings timings = OrganizeHere(options, corpus, settings, output, kDefaultCopyWorkers);
        PrintTimingsHeading("files");
        PrintTimings(count, timings.total, timings);
        DeleteTree(output);
        DeleteTree(root);
    }
}

// The memory in use (every page the figures below take is written to, so it is in the
// working set).
std::uint64_t BytesInUse()
{
    PROCESS_MEMORY_COUNTERS memory{};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return memory.WorkingSetSize;
}

// What a run keeps of each file: its facts in the list, and its entry in the record.
void Memory()
{
    constexpr int kFiles = 1'000'000;
    auto inputPath = [](int i) {
        wchar_t path[96];
        std::swprintf(path, 96, L"E:\\DCIM\\%03dCANON\\IMG_%04d.JPG", 100 + i / 1000 % 900, i % 10000);
        return std::wstring(path);
    };
    auto outputPath = [](int i) {
        wchar_t path[96];
        std::swprintf(path, 96, L"D:\\写真\\2024\\05\\%02d\\IMG_%04d.JPG", 1 + i % 28, i % 10000);
        return std::wstring(path);
    };
    std::printf("memory of a run at a million files (paths of 30 characters)\n");
    const std::uint64_t before = BytesInUse();
    std::vector<FileFacts> files;
    for (int i = 0; i < kFiles; ++i) {
        FileFacts facts;
        facts.path = inputPath(i);
        files.push_back(std::move(facts));
    }
    const std::uint64_t listed = BytesInUse();
    OutputRecord record;
    for (int i = 0; i < kFiles; ++i)
        record.AddCopy(files[static_cast<std::size_t>(i)].path, outputPath(i), std::uint64_t(i) * 0x9E3779B97F4A7C15ull);
    const std::uint64_t recorded = BytesInUse();
    std::printf("  a listed file %.0f bytes, a record entry %.0f bytes: %.0f MB for a million of each\n",
                double(listed - before) / kFiles, double(recorded - listed) / kFiles, (recorded - before) / 1e6);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 3 && std::wstring(argv[1]) == L"--bare-copy")
        return BareCopy(argc - 2, argv + 2);
    Options options;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    options.root = std::wstring(temp) + L"kasumiro-organize-bench";
    int at = 1;
    for (; at < argc && argv[at][0] == L'-'; ++at) {
        const std::wstring option = argv[at];
        if (option == L"--root" && at + 1 < argc)
            options.root = argv[++at];
        else if (option == L"--on-disk")
            options.onDisk = true;
    }
    while (!options.root.empty() && options.root.back() == L'\\')
        options.root.pop_back();
    DeleteTree(options.root);
    CreateDirectoryW(options.root.c_str(), nullptr);
    const std::wstring settings = WriteSettings(options.root);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    Corpus cards;
    auto cardsCorpus = [&]() -> const Corpus& {
        if (cards.files == 0) {
            cards = MakeCardsCorpus(options.root + L"\\cards");
            // Its own write-back is not the runs' to pay.
            FlushTree(options.root + L"\\cards");
            PrintCorpus("the cards corpus", cards);
        }
        return cards;
    };
    if (at == argc) {
        std::wprintf(L"usage: kasumiro_organize_bench [--root FOLDER] [--on-disk] pairs|workers|lookalikes|scale|memory|start\n");
        return 2;
    }
    while (at < argc) {
        const std::wstring mode = argv[at++];
        const wchar_t* values = at < argc && iswdigit(argv[at][0]) ? argv[at++] : nullptr;
        if (mode == L"pairs")
            Pairs(options, cardsCorpus(), settings, ListOf(values, {5}).front());
        else if (mode == L"workers")
            Workers(options, cardsCorpus(), settings, ListOf(values, {1, 2, 3, 4, 6, 8}));
        else if (mode == L"lookalikes")
            LookAlikes(options, settings, ListOf(values, {100, 300, 1000}));
        else if (mode == L"scale")
            Scale(options, settings, ListOf(values, {5000, 50000}));
        else if (mode == L"memory")
            Memory();
        else if (mode == L"start")
            PrintStartTimes(ListOf(values, {7}).front());
        else
            std::wprintf(L"unknown mode %ls\n", mode.c_str());
    }
    DeleteTree(options.root);
    return 0;
}
