// How fast an organize run is against the floor of any Windows program: copying the same
// files with CopyFileW. Makes two "cards" of camera files (JPEG photos with Exif dates, some
// movies and sounds, about one in ten an exact duplicate, the same names on both cards),
// then times kasumiro-cli organize into an empty folder, a rerun into the same folder, and a
// plain loop (a 64 KiB read of each file's head, then CopyFileW) before and after. Prints
// files and MB per second, the ratio to the plain loop and peak memory.
//
//   kasumiro_organize_bench [FILES [MIB_PER_FILE]]     (default 2000 files of 2 MiB)

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/metadata/exif_block_builder.h"

namespace fs = std::filesystem;

namespace {

struct Timed {
    double seconds = 0;
    std::uint64_t peakBytes = 0;
    DWORD exitCode = 0;
};

std::wstring ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path().wstring();
}

// A JPEG head with its own Exif date and bytes, then the file grown to its size without
// writing the rest (the image data of a camera file is never read by the organizer).
void WriteCameraFile(const fs::path& path, int index, std::uint64_t bytes, bool jpeg)
{
    Bytes head;
    if (jpeg) {
        char date[32];
        std::snprintf(date, sizeof date, "20%02d:%02d:%02d %02d:%02d:%02d", 15 + index % 10, 1 + index % 12,
                      1 + index % 28, index % 24, index % 60, (index / 60) % 60);
        const Bytes exif = WithExifMarker(ExifBlockBuilder().Ascii(ExifBlockBuilder::kExif, 0x9003, date).Build());
        head = {0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t((exif.size() + 2) >> 8), std::uint8_t(exif.size() + 2)};
        for (std::uint8_t b : exif)
            head.push_back(b);
    }
    for (int i = 0; i < 512; ++i)
        head.push_back(static_cast<std::uint8_t>((index * 131 + i * 7) ^ (index >> 8)));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    out.seekp(static_cast<std::streamoff>(bytes - 2));
    out.write("\xFF\xD9", 2);
}

Timed RunProgram(const std::wstring& commandLine)
{
    Timed timed;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return timed;
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

void Report(const char* what, const Timed& timed, int files, std::uint64_t bytes, double floor)
{
    std::printf("  %-28s %7.2f s  %8.0f files/s  %8.1f MB/s", what, timed.seconds, files / timed.seconds,
                bytes / 1e6 / timed.seconds);
    if (floor > 0)
        std::printf("  %5.2fx the plain loop", timed.seconds / floor);
    if (timed.peakBytes)
        std::printf("  peak %.1f MB", timed.peakBytes / 1e6);
    if (timed.exitCode)
        std::printf("  (exit %lu)", timed.exitCode);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const std::uint64_t fileBytes = std::uint64_t(argc > 2 ? std::atoi(argv[2]) : 2) << 20;
    const fs::path root = fs::temp_directory_path() / ("kasumiro-organize-bench-" + std::to_string(GetCurrentProcessId()));
    const fs::path cards[2] = {root / "card1" / "DCIM" / "100CANON", root / "card2" / "DCIM" / "101CANON"};
    for (const auto& card : cards)
        fs::create_directories(card);

    std::vector<fs::path> sources;
    for (int i = 0; i < files; ++i) {
        const fs::path& card = cards[i % 2];
        const int number = i / 2;  // the same names on both cards
        const bool movie = i % 25 == 3, sound = i % 40 == 7;
        const std::wstring name = movie ? L"MVI_" : sound ? L"SND_" : L"IMG_";
        wchar_t file[32];
        std::swprintf(file, 32, L"%ls%04d.%ls", name.c_str(), number, movie ? L"MOV" : sound ? L"WAV" : L"JPG");
        const fs::path path = card / file;
        if (i % 10 == 9 && !sources.empty())
            fs::copy_file(sources[static_cast<size_t>(i) / 2], path);  // an exact duplicate
        else
            WriteCameraFile(path, i, fileBytes, !movie && !sound);
        sources.push_back(path);
    }
    const std::uint64_t totalBytes = fileBytes * static_cast<std::uint64_t>(files);

    const fs::path settings = root / "settings.ini";
    {
        std::ofstream out(settings, std::ios::binary);
        out.write("\xFF\xFE", 2);
    }
    WritePrivateProfileStringW(L"APP_INFO", L"arrnge_movie", L"1", settings.wstring().c_str());
    WritePrivateProfileStringW(L"APP_INFO", L"arrnge_sound", L"1", settings.wstring().c_str());
    const std::wstring cli = L"\"" + ExeFolder() + L"\\kasumiro-cli.exe\" organize --format 8 --no-album --settings \"" +
                             settings.wstring() + L"\" --output \"" + (root / "out").wstring() + L"\" --input \"" +
                             (root / "card1").wstring() + L"\" --input \"" + (root / "card2").wstring() + L"\"";

    // The floor: the same files, each with its head read and then copied with CopyFileW,
    // nothing else. Timed before and after the organizer, so that neither side has the
    // warmer disk cache.
    auto plainLoop = [&](const char* name) {
        const fs::path plain = root / name;
        fs::create_directories(plain);
        std::vector<char> head(64 * 1024);
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 0; i < sources.size(); ++i) {
            HANDLE file = CreateFileW(sources[i].wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            DWORD read = 0;
            if (file != INVALID_HANDLE_VALUE) {
                ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, nullptr);
                CloseHandle(file);
            }
            CopyFileW(sources[i].wstring().c_str(), (plain / std::to_wstring(i)).wstring().c_str(), TRUE);
        }
        Timed timed;
        timed.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fs::remove_all(plain);
        return timed;
    };

    const Timed plainBefore = plainLoop("plain1");
    const Timed first = RunProgram(cli);
    const Timed plainAfter = plainLoop("plain2");
    const Timed rerun = RunProgram(cli + L" --yes");
    Timed plainCopy;
    plainCopy.seconds = (plainBefore.seconds + plainAfter.seconds) / 2;

    std::printf("organize %d camera files of %llu MiB (%.1f GB)\n", files,
                static_cast<unsigned long long>(fileBytes >> 20), totalBytes / 1e9);
    Report("plain loop, before", plainBefore, files, totalBytes, 0);
    Report("plain loop, after", plainAfter, files, totalBytes, 0);
    Report("kasumiro-cli organize", first, files, totalBytes, plainCopy.seconds);
    Report("rerun into the same output", rerun, files, totalBytes, plainCopy.seconds);

    std::error_code ignored;
    fs::remove_all(root, ignored);
    return first.exitCode == 0 && rerun.exitCode == 0 ? 0 : 1;
}
