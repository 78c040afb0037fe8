// How fast the metadata facts of camera JPEG files are read, and how little of each file
// that takes. Makes a few thousand camera-sized JPEG files (5 MiB each, sparse: only the
// head and the end hold data), reads every one's facts, prints the figures and cleans up.
//
//   kasumiro_metadata_bench [FILES]        (default 3000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "metadata/image_facts.h"
#include "tests/metadata/exif_block_builder.h"

namespace {

constexpr std::uint64_t kFileBytes = 5u << 20;  // a typical 20-megapixel camera JPEG

// Byte by byte: GCC 12 misreads range inserts into small vectors as out of bounds.
void Append(Bytes& out, const Bytes& more)
{
    out.reserve(out.size() + more.size());
    for (std::uint8_t b : more)
        out.push_back(b);
}

Bytes Segment(std::uint8_t marker, const Bytes& payload)
{
    Bytes out{0xFF, marker, std::uint8_t((payload.size() + 2) >> 8), std::uint8_t(payload.size() + 2)};
    Append(out, payload);
    return out;
}

// The head of a camera JPEG: JFIF, an Exif segment with a maker note as cameras write it,
// quantisation tables and the start of the scan.
Bytes CameraHead(int index)
{
    using B = ExifBlockBuilder;
    char date[32];
    std::snprintf(date, sizeof date, "2024:%02d:%02d %02d:%02d:%02d", 1 + index % 12, 1 + index % 28,
                  index % 24, index % 60, (index * 7) % 60);
    Bytes makerNote(24000);
    for (std::size_t i = 0; i < makerNote.size(); ++i)
        makerNote[i] = static_cast<std::uint8_t>(i * 31 + index);
    B builder(index % 2 == 0);
    builder.Ascii(B::kIfd0, 0x010F, "Kasumiro Camera Works")
        .Ascii(B::kIfd0, 0x0110, "KC-20")
        .Short(B::kIfd0, 0x0112, 1)
        .Ascii(B::kIfd0, 0x0132, date)
        .Ascii(B::kExif, 0x9003, date)
        .Ascii(B::kExif, 0x9004, date)
        .Rationals(B::kExif, 0x829A, {{1, 250}})
        .Rationals(B::kGps, 2, {{35, 1}, {39, 1}, {2952, 100}})
        .Ascii(B::kGps, 1, "N")
        .Rationals(B::kGps, 4, {{139, 1}, {44, 1}, {5400, 100}})
        .Ascii(B::kGps, 3, "E");
    // The maker note's bytes behind the directories, as large as cameras write them.
    Bytes app1 = WithExifMarker(builder.Build());
    Append(app1, makerNote);

    Bytes head{0xFF, 0xD8};
    for (const Bytes& segment : {Segment(0xE0, Bytes{'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 72, 0, 72, 0, 0}),
                                 Segment(0xE1, app1), Segment(0xDB, Bytes(130, 1)),
                                 Segment(0xC0, Bytes(15, 2)), Segment(0xDA, Bytes(10, 3))})
        Append(head, segment);
    return head;
}

void WriteSparseJpeg(const std::filesystem::path& path, const Bytes& head)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    out.seekp(static_cast<std::streamoff>(kFileBytes - 2));
    out.write("\xFF\xD9", 2);
}

}  // namespace

int main(int argc, char** argv)
{
    const int files = argc > 1 ? std::atoi(argv[1]) : 3000;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kasumiro-metadata-bench-" + std::to_string(std::rand()));
    std::filesystem::create_directories(folder);
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < files; ++i) {
        paths.push_back(folder / ("DSC" + std::to_string(10000 + i) + ".JPG"));
        WriteSparseJpeg(paths.back(), CameraHead(i));
    }

    int dated = 0;
    std::uint64_t bytesRead = 0, mostRead = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& path : paths) {
        ImageFacts facts;
        std::string error;
        if (ReadImageFacts(path.wstring(), &facts, &error) && facts.dateTimeOriginal)
            ++dated;
        bytesRead += facts.bytesRead;
        mostRead = std::max(mostRead, facts.bytesRead);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    std::printf("metadata facts of %d camera JPEG files of %llu MiB each\n", files,
                static_cast<unsigned long long>(kFileBytes >> 20));
    std::printf("  dated:              %d of %d\n", dated, files);
    std::printf("  time:               %.3f s\n", seconds);
    std::printf("  files per second:   %.0f\n", files / seconds);
    std::printf("  bytes read per file: %.0f on average, %llu at most (%.3f%% of the file)\n",
                double(bytesRead) / files, static_cast<unsigned long long>(mostRead),
                100.0 * double(bytesRead) / files / double(kFileBytes));
    return dated == files ? 0 : 1;
}
