#include "bench/organize_corpus.h"

#include <windows.h>

#include <cstdio>

#include "base/handles.h"
#include "organize/folder_utils.h"
#include "tests/metadata/exif_block_builder.h"

namespace {

// Bytes that do not repeat: a photo's compressed data, near enough.
class NoiseSource {
public:
    explicit NoiseSource(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    void Fill(std::uint8_t* out, std::size_t count)
    {
        for (std::size_t i = 0; i < count; i += 8) {
            state_ ^= state_ << 13;
            state_ ^= state_ >> 7;
            state_ ^= state_ << 17;
            for (std::size_t k = 0; k < 8 && i + k < count; ++k)
                out[i + k] = static_cast<std::uint8_t>(state_ >> (8 * k));
        }
    }

private:
    std::uint64_t state_;
};

// Writes the head, then `size` bytes in all of noise from `seed`.
void WriteNoiseFile(const std::wstring& path, const Bytes& head, std::uint64_t size, std::uint64_t seed, Corpus* corpus)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        std::fprintf(stderr, "cannot write %ls\n", path.c_str());
        return;
    }
    static std::vector<std::uint8_t> chunk(1 << 20);
    NoiseSource noise(seed);
    DWORD written = 0;
    WriteFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
    for (std::uint64_t left = size > head.size() ? size - head.size() : 0; left > 0;) {
        const auto n = static_cast<DWORD>(std::min<std::uint64_t>(chunk.size(), left));
        noise.Fill(chunk.data(), n);
        WriteFile(file.get(), chunk.data(), n, &written, nullptr);
        left -= n;
    }
    ++corpus->files;
    corpus->bytes += size;
}

void CopyInto(const std::wstring& from, const std::wstring& to, std::uint64_t size, Corpus* corpus)
{
    CopyFileW(from.c_str(), to.c_str(), FALSE);
    ++corpus->files;
    corpus->bytes += size;
}

// A JPEG's start with an Exif capture time on `day` of May 2024 (0 is the last of April, and so
// on back in time).
Bytes PhotoHead(int day, int second)
{
    constexpr std::int64_t kDay = 24ll * 60 * 60 * 10'000'000;
    SYSTEMTIME first{2024, 5, 0, 1, 0, 0, 0, 0};
    FILETIME time{};
    SystemTimeToFileTime(&first, &time);
    const std::int64_t ticks = ((std::int64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) + (day - 1) * kDay;
    time = FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME when{};
    FileTimeToSystemTime(&time, &when);
    char date[32];
    std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", when.wYear, when.wMonth, when.wDay,
                  8 + second / 3600 % 12, second / 60 % 60, second % 60);
    const Bytes exif = WithExifMarker(ExifBlockBuilder().Ascii(ExifBlockBuilder::kExif, 0x9003, date).Build());
    Bytes head;
    head.reserve(6 + exif.size());
    const std::size_t length = exif.size() + 2;
    for (std::size_t b : {std::size_t{0xFF}, std::size_t{0xD8}, std::size_t{0xFF}, std::size_t{0xE1}, length >> 8, length})
        head.push_back(static_cast<std::uint8_t>(b));
    for (std::uint8_t b : exif)
        head.push_back(b);
    return head;
}

// A BMP's header and its bottom rows (the task bar, which a screenshot stores first).
Bytes ScreenshotHead(std::uint64_t size)
{
    Bytes head = {'B', 'M', std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16), 0, 0, 0};
    head.resize(64 * 1024, 0x30);
    return head;
}

std::wstring Numbered(const wchar_t* pattern, int number)
{
    wchar_t name[64];
    std::swprintf(name, 64, pattern, number);
    return name;
}

}  // namespace

Corpus MakeCardsCorpus(const std::wstring& root)
{
    Corpus corpus;
    const std::wstring card1 = root + L"\\card1", card2 = root + L"\\card2", phone = root + L"\\phone";
    corpus.inputs = {card1, card2, phone};
    const std::wstring camera1 = card1 + L"\\DCIM\\100CANON", camera2 = card2 + L"\\DCIM\\100NIKON";
    const std::wstring photos = phone + L"\\写真", shots = phone + L"\\スクリーンショット";
    // A folder that cannot be made is said by each write into it.
    for (const std::wstring& folder : {camera1, camera2, photos, shots})
        (void)CreateFolderPath(folder);
    // The first camera: 150 photos of 2.4 MB over three days, and six movies.
    for (int i = 1; i <= 150; ++i)
        WriteNoiseFile(camera1 + Numbered(L"\\IMG_%04d.JPG", i), PhotoHead(1 + i / 50, i * 37), 2'400'000, i, &corpus);
    for (int i = 1; i <= 6; ++i)
        WriteNoiseFile(camera1 + Numbered(L"\\MVI_%04d.MOV", 150 + i), {}, 20'000'000, 1000 + i, &corpus);
    // The second camera: its own photos under the same names on the same days, and one in
    // ten of the first camera's again (copied off the first card).
    for (int i = 1; i <= 110; ++i) {
        const std::wstring path = camera2 + Numbered(L"\\IMG_%04d.JPG", i);
        if (i % 10 == 0)
            CopyInto(camera1 + Numbered(L"\\IMG_%04d.JPG", i + 5), path, 2'400'000, &corpus);
        else
            WriteNoiseFile(path, PhotoHead(1 + i / 50, i * 41), 1'200'000, 2000 + i, &corpus);
    }
    // The phone: photos with Japanese names, some of them the cameras' photos shared to it,
    // and screenshots of one screen.
    for (int i = 1; i <= 80; ++i) {
        const std::wstring path = photos + Numbered(L"\\写真 %04d.jpg", i);
        if (i % 4 == 0)
            CopyInto(camera1 + Numbered(L"\\IMG_%04d.JPG", i), path, 2'400'000, &corpus);
        else
            WriteNoiseFile(path, PhotoHead(2 + i / 40, i * 53), 1'500'000, 3000 + i, &corpus);
    }
    constexpr std::uint64_t kShot = 2'073'654;  // 960 x 720 x 3 and its header
    for (int i = 1; i <= 54; ++i)
        WriteNoiseFile(shots + Numbered(L"\\スクリーンショット %03d.bmp", i), ScreenshotHead(kShot), kShot, 4000 + i, &corpus);
    return corpus;
}

Corpus MakeLookAlikes(const std::wstring& root, int files)
{
    Corpus corpus;
    const std::wstring folder = root + L"\\shots";
    (void)CreateFolderPath(folder);  // one that cannot be made is said by each write into it
    corpus.inputs = {root};
    constexpr std::uint64_t kShot = 1 << 20;
    for (int i = 0; i < files; ++i)
        WriteNoiseFile(folder + Numbered(L"\\shot%05d.bmp", i), ScreenshotHead(kShot), kShot, 5000 + i, &corpus);
    return corpus;
}

Corpus MakeManySmallFiles(const std::wstring& root, int files)
{
    Corpus corpus;
    constexpr int kCards = 10, kFoldersPerCard = 100;
    const int perFolder = (files + kCards * kFoldersPerCard - 1) / (kCards * kFoldersPerCard);
    for (int card = 0; card < kCards; ++card)
        corpus.inputs.push_back(root + Numbered(L"\\card%02d", card));
    for (int i = 0; i < files; ++i) {
        const int folderIndex = i / perFolder;
        const std::wstring folder =
            corpus.inputs[static_cast<std::size_t>(folderIndex / kFoldersPerCard)] +
            Numbered(L"\\DCIM\\%03dCANON", 100 + folderIndex % kFoldersPerCard);
        if (i % perFolder == 0)
            (void)CreateFolderPath(folder);  // one that cannot be made is said by each write into it
        // A camera's library: 50 photos a day, back in time from the newest.
        WriteNoiseFile(folder + Numbered(L"\\IMG_%04d.JPG", i % 10000), PhotoHead(1 - i / 50, i), 24 * 1024, 6000 + i,
                  &corpus);
    }
    return corpus;
}
