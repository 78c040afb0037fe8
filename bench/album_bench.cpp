// How fast the album is built from camera-sized pictures: makes a folder of 12-megapixel
// JPEGs with Exif dates (kept between runs), then builds its album and prints pictures per
// second, decodes per picture and the peak memory.
//
//   kasumiro_album_bench [PICTURES [WIDTH HEIGHT]]     (default 240 pictures of 4000 x 3000)

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "album/album_build.h"
#include "album/image_operations.h"
#include "base/gdiplus_headers.h"
#include "base/paths.h"
#include "organize/folder_utils.h"
#include "tests/album/album_test_files.h"

namespace {

// Progress that goes nowhere: the benchmark times the work alone.
class QuietProgress : public ProgressSink_CL {
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

// A camera-like folder of pictures, made once: dates spread over two years.
bool MakeCorpus(const std::wstring& folder, int pictures, int width, int height)
{
    const std::wstring marker = folder + L"\\corpus-" + std::to_wstring(pictures) + L"-" + std::to_wstring(width) + L"x" +
                                std::to_wstring(height) + L".done";
    if (GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    DeleteFolderTree(folder);
    CreateFolderPath(folder + L"\\DCIM");
    for (int i = 0; i < pictures; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", 2023 + i % 2, 1 + i % 12, 1 + i % 28, 8 + i % 12,
                      i % 60, (i * 7) % 60);
        PhotoFacts facts;
        facts.dateTimeOriginal = date;
        facts.orientation = static_cast<std::uint16_t>(i % 8 == 0 ? 6 : 1);
        const std::wstring path = folder + L"\\DCIM\\IMG_" + std::to_wstring(1000 + i) + L".JPG";
        if (!WriteBytes(path, PhotoJpeg(width, height, facts)))
            return false;
    }
    return WriteBytes(marker, Bytes{'1'});
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int pictures = argc > 1 ? _wtoi(argv[1]) : 240;
    const int width = argc > 3 ? _wtoi(argv[2]) : 4000;
    const int height = argc > 3 ? _wtoi(argv[3]) : 3000;
    const GdiplusSession_CL gdiplus;
    const std::wstring corpus = FolderOfPath(GetExeFolder()) + L"\\bench-album-corpus";

    auto started = std::chrono::steady_clock::now();
    if (!MakeCorpus(corpus, pictures, width, height)) {
        std::fwprintf(stderr, L"cannot write the pictures into %ls\n", corpus.c_str());
        return 1;
    }
    const double making = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    QuietProgress progress;
    const std::uint64_t decodesBefore = PictureDecodes();
    started = std::chrono::steady_clock::now();
    const StatusCode status = BuildPhotoAlbum(progress, corpus, true);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::uint64_t decodes = PictureDecodes() - decodesBefore;

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("album build of %d pictures of %d x %d (corpus made in %.1f s)\n", pictures, width, height, making);
    std::printf("  status            0x%08x\n", static_cast<unsigned>(status));
    std::printf("  time              %.2f s\n", seconds);
    std::printf("  pictures/s        %.2f\n", pictures / seconds);
    std::printf("  decodes/picture   %.2f\n", static_cast<double>(decodes) / pictures);
    std::printf("  peak memory       %.1f MiB\n", memory.PeakWorkingSetSize / 1048576.0);
    return status == kStatusOk ? 0 : 1;
}
