// The files of the album's cache folder as a build reads them: the scan's facts, the list of
// thumbnail files and a thumbnail entry. Whatever parses must come back the same through the
// writer, so that a list the program reads is one it could have written.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "album/cache_formats.h"

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameFacts(const ImageFacts& a, const ImageFacts& b)
{
    return a.format == b.format && a.exif == b.exif && a.dateTimeOriginal == b.dateTimeOriginal &&
           a.dateTime == b.dateTime && a.orientation == b.orientation && a.gps == b.gps &&
           a.captureTime == b.captureTime && a.movieCreated == b.movieCreated;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace cache_formats;

    ScannedList scanned;
    if (ParseScannedList(data, size, &scanned)) {
        const std::vector<std::uint8_t> bytes = SerializeScannedList(scanned);
        ScannedList again;
        Require(ParseScannedList(bytes.data(), bytes.size(), &again) && again.size() == scanned.size());
        for (auto a = scanned.begin(), b = again.begin(); a != scanned.end(); ++a, ++b)
            Require(a->first == b->first && a->second.size == b->second.size &&
                    a->second.lastWrite == b->second.lastWrite && SameFacts(a->second.facts, b->second.facts));
    }

    ThumbnailList thumbnails;
    if (ParseThumbnailList(data, size, &thumbnails)) {
        const std::string text = SerializeThumbnailList(thumbnails);
        ThumbnailList again;
        Require(ParseThumbnailList(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &again));
        Require(again.size() == thumbnails.size());
    }

    // An entry, checked against the key text it says it carries (its trailer's length field
    // names the bytes before it); one that passes is exactly what the writer makes of it.
    if (size >= 24) {
        const std::uint8_t* length = data + size - 12;
        const std::size_t keyBytes = std::size_t{length[0]} | (std::size_t{length[1]} << 8) |
                                     (std::size_t{length[2]} << 16) | (std::size_t{length[3]} << 24);
        const std::string key = keyBytes <= size - 24
                                    ? std::string(reinterpret_cast<const char*>(data + size - 24 - keyBytes), keyBytes)
                                    : std::string();
        std::size_t jpegBytes = 0;
        const EntryCheck check = CheckEntry(data, size, key, &jpegBytes);
        if (check != EntryCheck::kDamaged) {
            Require(jpegBytes <= size);
            const std::vector<std::uint8_t> jpeg(data, data + jpegBytes);
            const std::vector<std::uint8_t> rebuilt =
                BuildEntry(key, check == EntryCheck::kThumbnail ? &jpeg : nullptr);
            Require(rebuilt == std::vector<std::uint8_t>(data, data + size));
        }
    }
    return 0;
}
