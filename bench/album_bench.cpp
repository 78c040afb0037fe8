// How fast the album is built from camera pictures: makes a folder of 12-megapixel JPEGs with
// the weight of real photos and Exif dates (kept between runs), then builds its album four
// ways: from nothing on one thread and on every core, again with nothing changed, and after
// 1 % new pictures were added (the thumbnails of the rest come from the cache). Prints
// thumbnails per second, decodes per picture and the peak memory, one figure a line. Given a
// folder of pictures made elsewhere (the bench script makes phone-like HEIC photos from the
// JPEGs), it builds that folder's album the first three ways. Given a folder of hostile and
// damaged pictures (tests/album/make_hostile_pictures.py makes them), it measures each
// picture's thumbnail and then their album, each in a process of its own: its time, its peak
// memory and whether it was pictured.
//
//   kasumiro_album_bench [PICTURES [WIDTH HEIGHT]]     (default 120 pictures of 4000 x 3000)
//   kasumiro_album_bench --folder FOLDER               (the pictures of FOLDER\DCIM)
//   kasumiro_album_bench --hostile FOLDER              (the pictures of FOLDER)
//   kasumiro_album_bench --movies FOLDER               (posters of the movies of FOLDER)
//
// Given a folder of phone-sized movies (the bench script makes them with ffmpeg, named
// KIND_N.mp4: 1080p-h264_1.mp4, 2160p-hevc_2.mp4), it makes their posters, each kind on one
// thread and on every core: posters per second, and what each read of its movie.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "album/album_build.h"
#include "album/album_thumbnails.h"
#include "album/image_operations.h"
#include "album/thumbnail_cache.h"
#include "base/file_removal.h"
#include "base/gdiplus_headers.h"
#include "base/handles.h"
#include "base/paths.h"
#include "base/read_counters.h"
#include "bench/bench_process.h"
#include "bench/quiet_progress.h"
#include "organize/folder_utils.h"
#include "tests/album/album_test_files.h"

namespace {

std::wstring PicturePath(const std::wstring& folder, int index)
{
    return folder + L"\\DCIM\\IMG_" + std::to_wstring(1000 + index) + L".JPG";
}

bool MakePicture(const std::wstring& folder, int index, int width, int height)
{
    char date[32];
    std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", 2023 + index % 2, 1 + index % 12, 1 + index % 28,
                  8 + index % 12, index % 60, (index * 7) % 60);
    PhotoFacts facts;
    facts.dateTimeOriginal = date;
    facts.orientation = static_cast<std::uint16_t>(index % 8 == 0 ? 6 : 1);
    return WriteBytes(PicturePath(folder, index), CameraLikeJpeg(width, height, facts, static_cast<std::uint32_t>(index)));
}

// A camera-like folder of pictures, made once: dates spread over two years.
bool MakeCorpus(const std::wstring& folder, int pictures, int width, int height)
{
    const std::wstring marker = folder + L"\\corpus-" + std::to_wstring(pictures) + L"-" + std::to_wstring(width) + L"x" +
                                std::to_wstring(height) + L"-camera.done";
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    // What an old corpus leaves is written over; a folder that cannot be made fails the first
    // picture, which ends the bench.
    (void)DeleteFolderTree(folder);
    (void)CreateFolderPath(folder + L"\\DCIM");
    for (int i = 0; i < pictures; ++i) {
        if (!MakePicture(folder, i, width, height))
            return false;
    }
    return WriteBytes(marker, Bytes{'1'});
}

struct Build {
    double seconds = 0;
    double decodesPerPicture = 0;
    StatusCode status = kStatusOk;
};

Build TimeBuild(const std::wstring& folder, int pictures, int workers)
{
    QuietProgress progress;
    const std::uint64_t before = PictureDecodes();
    const auto started = std::chrono::steady_clock::now();
    Build build;
    build.status = BuildPhotoAlbum(progress, folder, true, L"", {}, workers).status;
    build.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    build.decodesPerPicture = static_cast<double>(PictureDecodes() - before) / pictures;
    return build;
}

void Print(const char* what, const Build& build, int pictures)
{
    std::printf("  %-34s %7.2f s  %7.1f thumbnails/s  %.2f decodes/picture%s\n", what, build.seconds,
                pictures / build.seconds, build.decodesPerPicture, build.status == kStatusOk ? "" : "  FAILED");
}

// The pictures of a folder made elsewhere: the paths of its files, in the order of their names.
std::vector<std::wstring> ListPictures(const std::wstring& folder)
{
    std::vector<std::wstring> pictures;
    WIN32_FIND_DATAW found{};
    const UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find)
        return pictures;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            pictures.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(find.get(), &found));
    std::sort(pictures.begin(), pictures.end());
    return pictures;
}

// The thumbnails alone, as another thumbnailer makes them (no album, no views), on so many
// threads; pictures per second.
double TimeThumbnailsAlone(const std::vector<std::wstring>& pictures, int threads)
{
    std::atomic<std::size_t> next{0};
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            std::vector<std::uint8_t> jpeg;
            for (std::size_t i; (i = next.fetch_add(1)) < pictures.size();)
                MakeThumbnail(pictures[i], 1, &jpeg);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    return pictures.size() / std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

// The builds both kinds of folder have: from nothing on one thread and on every core, and
// again with nothing changed. The last fills in the figures' summary.
struct Builds {
    Build oneThread;
    Build allCores;
    bool ok() const { return oneThread.status == kStatusOk && allCores.status == kStatusOk; }
};

// A build times "from nothing" only when the cache is gone: one that stays is said.
void ClearCache(const std::wstring& folder)
{
    const std::wstring cache = folder + L"\\" + ThumbnailCache::kFolderName;
    if (const StatusCode cleared = DeleteFolderTree(cache); cleared != kStatusOk)
        std::fprintf(stderr, "cannot remove %ls: %ls\n", cache.c_str(), HexStatus(cleared).c_str());
}

Builds TimeFullBuilds(const std::wstring& folder, int pictures, int cores)
{
    Builds builds;
    ClearCache(folder);
    builds.oneThread = TimeBuild(folder, pictures, 1);
    Print("from nothing, one thread", builds.oneThread, pictures);
    ClearCache(folder);
    builds.allCores = TimeBuild(folder, pictures, cores);
    Print("from nothing, every core", builds.allCores, pictures);
    Print("again, nothing changed", TimeBuild(folder, pictures, cores), pictures);
    return builds;
}

void PrintSummary(const Builds& builds, int pictures)
{
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("  one thread                         %.1f thumbnails/s per core\n", pictures / builds.oneThread.seconds);
    std::printf("  every core against one thread      %.2f x\n", builds.oneThread.seconds / builds.allCores.seconds);
    std::printf("  peak memory                        %.1f MiB\n", memory.PeakWorkingSetSize / 1048576.0);
    // For the comparison the bench script makes with another thumbnailer on the same files.
    std::printf("ours-per-core %.3f\nours-all-cores %.3f\n", pictures / builds.oneThread.seconds,
                pictures / builds.allCores.seconds);
}

int BenchFolder(const std::wstring& folder)
{
    const std::vector<std::wstring> files = ListPictures(folder + L"\\DCIM");
    const int pictures = static_cast<int>(files.size());
    if (pictures == 0) {
        std::fwprintf(stderr, L"no pictures in %ls\\DCIM\n", folder.c_str());
        return 1;
    }
    const int cores = DefaultThumbnailWorkers();
    std::printf("album build of the %d pictures of %ls, %d cores\n", pictures, folder.c_str(), cores);
    const Builds builds = TimeFullBuilds(folder, pictures, cores);
    const double aloneOne = TimeThumbnailsAlone(files, 1);
    const double aloneAll = TimeThumbnailsAlone(files, cores);
    std::printf("  thumbnails alone, one thread       %7.1f pictures/s\n", aloneOne);
    std::printf("  thumbnails alone, every core       %7.1f pictures/s\n", aloneAll);
    PrintSummary(builds, pictures);
    std::printf("ours-alone-per-core %.3f\nours-alone-all-cores %.3f\n", aloneOne, aloneAll);
    return builds.ok() ? 0 : 1;
}

int BenchCameraJpegs(int pictures, int width, int height)
{
    const std::wstring corpus = FolderOfPath(GetExeFolder()) + L"\\bench-album-corpus";
    const auto started = std::chrono::steady_clock::now();
    if (!MakeCorpus(corpus, pictures, width, height)) {
        std::fwprintf(stderr, L"cannot write the pictures into %ls\n", corpus.c_str());
        return 1;
    }
    const double making = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    WIN32_FILE_ATTRIBUTE_DATA first{};
    GetFileAttributesExW(PicturePath(corpus, 0).c_str(), GetFileExInfoStandard, &first);
    const int cores = DefaultThumbnailWorkers();
    std::printf("album build of %d pictures of %d x %d, %.1f MB each (corpus made in %.1f s), %d cores\n", pictures,
                width, height, first.nFileSizeLow / 1e6, making, cores);
    const Builds builds = TimeFullBuilds(corpus, pictures, cores);

    // 1 % new pictures (at least one), then the rebuild; they are taken away afterwards.
    const int added = std::max(1, pictures / 100);
    for (int i = 0; i < added; ++i)
        MakePicture(corpus, pictures + i, width, height);
    const Build afterAdding = TimeBuild(corpus, pictures + added, cores);
    Print("after adding 1 %, every core", afterAdding, pictures + added);
    for (int i = 0; i < added; ++i)
        DeleteFileW(PicturePath(corpus, pictures + i).c_str());

    std::printf("  rebuild after 1 %% against a full   %.1f %%\n", 100.0 * afterAdding.seconds / builds.allCores.seconds);
    PrintSummary(builds, pictures);
    return builds.ok() && afterAdding.status == kStatusOk ? 0 : 1;
}

// What the child processes of the hostile pictures' bench tell by their exit status.
constexpr DWORD kPictured = 0;
constexpr DWORD kNotPictured = 2;

void PrintTimed(const std::wstring& what, const Timed& timed, const char* outcome)
{
    std::printf("  %-44ls %7.2f s  %8.1f MiB  %s\n", what.c_str(), timed.seconds, timed.peakBytes / 1048576.0, outcome);
}

// Each picture of the folder made into its thumbnail in a process of its own (so that each
// peak is its own), then the album of them all on every core, from nothing.
int BenchHostile(const std::wstring& folder)
{
    const std::vector<std::wstring> files = ListPictures(folder);
    std::printf("thumbnails of the %zu pictures of %ls, each in a process of its own\n", files.size(), folder.c_str());
    for (const std::wstring& path : files) {
        const Timed timed = RunProgram(Quoted(ThisProgram()) + L" --thumbnail " + Quoted(path));
        const char* outcome = timed.exitCode == kPictured      ? "thumbnail"
                              : timed.exitCode == kNotPictured ? "no preview"
                                                               : "FAILED";
        PrintTimed(path.substr(folder.size() + 1), timed, outcome);
    }
    ClearCache(folder);
    const Timed album = RunProgram(Quoted(ThisProgram()) + L" --album " + Quoted(folder));
    PrintTimed(L"their album, every core", album, album.exitCode == 0 ? "built" : "FAILED");
    return 0;
}

// The posters of the movies, each made `rounds` times, on so many threads; posters per second.
double TimePosters(const std::vector<std::wstring>& movies, int rounds, int threads)
{
    std::atomic<std::size_t> next{0};
    const std::size_t total = movies.size() * static_cast<std::size_t>(rounds);
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
            std::vector<std::uint8_t> jpeg;
            for (std::size_t i; (i = next.fetch_add(1)) < total;)
                MakeMoviePoster(movies[i % movies.size()], &jpeg);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    return total / std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

int BenchMovies(const std::wstring& folder)
{
    // The kinds, by the names' part before the last "_".
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> kinds;
    for (const std::wstring& path : ListPictures(folder)) {
        const std::wstring name = path.substr(folder.size() + 1);
        const std::size_t mark = name.rfind(L'_');
        if (mark == std::wstring::npos || !name.ends_with(L".mp4"))
            continue;
        const std::wstring kind = name.substr(0, mark);
        if (kinds.empty() || kinds.back().first != kind)
            kinds.push_back({kind, {}});
        kinds.back().second.push_back(path);
    }
    if (kinds.empty()) {
        std::fwprintf(stderr, L"no movies in %ls\n", folder.c_str());
        return 1;
    }
    const int cores = DefaultThumbnailWorkers();
    for (const auto& [kind, movies] : kinds) {
        std::vector<std::uint8_t> jpeg;
        std::uint64_t bytes = 0, size = 0;
        for (const std::wstring& movie : movies) {
            const std::uint64_t before = g_ReadCounters.bytes;
            if (MakeMoviePoster(movie, &jpeg) != ThumbnailOutcome::kMade || jpeg.empty()) {
                std::fwprintf(stderr, L"no poster of %ls\n", movie.c_str());
                return 1;
            }
            bytes += g_ReadCounters.bytes - before;
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (GetFileAttributesExW(movie.c_str(), GetFileExInfoStandard, &data))
                size += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        }
        const int rounds = std::max(1, 12 / static_cast<int>(movies.size()));
        const double one = TimePosters(movies, rounds, 1);
        const double all = TimePosters(movies, rounds * cores, cores);
        std::printf("posters-%ls-per-core %.2f posters/s\n", kind.c_str(), one);
        std::printf("posters-%ls-all-cores %.2f posters/s (%d cores)\n", kind.c_str(), all, cores);
        std::printf("posters-%ls-read %.1f MB a poster of %.1f MB movies\n", kind.c_str(),
                    bytes / 1e6 / movies.size(), size / 1e6 / movies.size());
    }
    // The memory of the heaviest moment: the last kind (4K HEVC in the script) decoded four at
    // once, as four cores would.
    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    TimePosters(kinds.back().second, 4, 4);
    PROCESS_MEMORY_COUNTERS after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    std::printf("posters-%ls four at once: peak working set %.1f MiB (%.1f MiB before)\n",
                kinds.back().first.c_str(), after.PeakWorkingSetSize / 1048576.0, before.PeakWorkingSetSize / 1048576.0);
    return 0;
}

int ThumbnailInThisProcess(const std::wstring& path)
{
    std::vector<std::uint8_t> jpeg;
    return MakeThumbnail(path, 1, &jpeg) == ThumbnailOutcome::kMade && !jpeg.empty() ? kPictured : kNotPictured;
}

int AlbumInThisProcess(const std::wstring& folder)
{
    QuietProgress progress;
    return BuildPhotoAlbum(progress, folder, true, L"", {}, DefaultThumbnailWorkers()).status == kStatusOk ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const GdiplusSession gdiplus;
    if (argc > 2 && std::wcscmp(argv[1], L"--folder") == 0)
        return BenchFolder(argv[2]);
    if (argc > 2 && std::wcscmp(argv[1], L"--hostile") == 0)
        return BenchHostile(argv[2]);
    if (argc > 2 && std::wcscmp(argv[1], L"--movies") == 0)
        return BenchMovies(argv[2]);
    if (argc > 2 && std::wcscmp(argv[1], L"--thumbnail") == 0)
        return ThumbnailInThisProcess(argv[2]);
    if (argc > 2 && std::wcscmp(argv[1], L"--album") == 0)
        return AlbumInThisProcess(argv[2]);
    const int pictures = argc > 1 ? std::max(1, _wtoi(argv[1])) : 120;
    const int width = argc > 3 ? _wtoi(argv[2]) : 4000;
    const int height = argc > 3 ? _wtoi(argv[3]) : 3000;
    return BenchCameraJpegs(pictures, width, height);
}
