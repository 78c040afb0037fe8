// How fast the album is built from camera pictures: makes a folder of 12-megapixel JPEGs with
// the weight of real photos and Exif dates (kept between runs), then builds its album four
// ways: from nothing on one thread and on every core, again with nothing changed, and after
// 1 % new pictures were added (the thumbnails of the rest come from the cache). Prints
// thumbnails per second, decodes per picture and the peak memory, one figure a line.
//
//   kasumiro_album_bench [PICTURES [WIDTH HEIGHT]]     (default 120 pictures of 4000 x 3000)

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "album/album_build.h"
#include "album/image_operations.h"
#include "album/thumbnail_cache.h"
#include "base/gdiplus_headers.h"
#include "base/paths.h"
#include "base/file_removal.h"
#include "organize/folder_utils.h"
#include "tests/album/album_test_files.h"

namespace {

// Progress that goes nowhere: the benchmark times the work alone.
class QuietProgress : public ProgressSink {
public:
    void SetTotal(std::uint64_t total) override { total_ = total; }
    std::uint64_t Total() const override { return total_; }
    void AddProgress(std::uint64_t) override {}
    void SetCaption(const std::wstring&) override {}
    bool StopRequested() const override { return false; }
    void Reset() override { total_ = 0; }

private:
    std::uint64_t total_ = 0;
};

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
    DeleteFolderTree(folder);
    CreateFolderPath(folder + L"\\DCIM");
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

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int pictures = argc > 1 ? std::max(1, _wtoi(argv[1])) : 120;
    const int width = argc > 3 ? _wtoi(argv[2]) : 4000;
    const int height = argc > 3 ? _wtoi(argv[3]) : 3000;
    const GdiplusSession gdiplus;
    const std::wstring corpus = FolderOfPath(GetExeFolder()) + L"\\bench-album-corpus";
    const std::wstring cache = corpus + L"\\" + ThumbnailCache::kFolderName;

    auto started = std::chrono::steady_clock::now();
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

    DeleteFolderTree(cache);
    const Build oneThread = TimeBuild(corpus, pictures, 1);
    Print("from nothing, one thread", oneThread, pictures);
    DeleteFolderTree(cache);
    const Build allCores = TimeBuild(corpus, pictures, cores);
    Print("from nothing, every core", allCores, pictures);
    const Build unchanged = TimeBuild(corpus, pictures, cores);
    Print("again, nothing changed", unchanged, pictures);

    // 1 % new pictures (at least one), then the rebuild; they are taken away afterwards.
    const int added = std::max(1, pictures / 100);
    for (int i = 0; i < added; ++i)
        MakePicture(corpus, pictures + i, width, height);
    const Build afterAdding = TimeBuild(corpus, pictures + added, cores);
    Print("after adding 1 %, every core", afterAdding, pictures + added);
    for (int i = 0; i < added; ++i)
        DeleteFileW(PicturePath(corpus, pictures + i).c_str());

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("  one thread                         %.1f thumbnails/s per core\n", pictures / oneThread.seconds);
    std::printf("  every core against one thread      %.2f x\n", oneThread.seconds / allCores.seconds);
    std::printf("  rebuild after 1 %% against a full   %.1f %%\n", 100.0 * afterAdding.seconds / allCores.seconds);
    std::printf("  peak memory                        %.1f MiB\n", memory.PeakWorkingSetSize / 1048576.0);
    // For the comparison the bench script makes with another thumbnailer on the same files.
    std::printf("ours-per-core %.3f\nours-all-cores %.3f\n", pictures / oneThread.seconds, pictures / allCores.seconds);
    const bool ok = oneThread.status == kStatusOk && allCores.status == kStatusOk && afterAdding.status == kStatusOk;
    return ok ? 0 : 1;
}
