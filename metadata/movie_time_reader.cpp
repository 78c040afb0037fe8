#include "metadata/movie_time_reader.h"

#include "metadata/box_range.h"
#include "metadata/exif_limits.h"
#include "metadata/iso_boxes.h"

namespace {

// From 1904-01-01 to 1970-01-01: 66 years with 17 leap days.
constexpr std::int64_t kSeconds1904To1970 = 2082844800;
constexpr std::int64_t kUnix1990 = 631152000;
constexpr std::int64_t kSecondsPerDay = 86400;

// "mvhd": version and flags, then the creation time in 32 bits (version 0) or 64 (version 1).
std::optional<std::uint64_t> ReadMovieHeader(FileReader& file, const BoxHeader& box)
{
    std::uint8_t bytes[12];
    const std::uint64_t wanted = box.PayloadSize() < sizeof bytes ? box.PayloadSize() : sizeof bytes;
    if (!file.ReadAt(box.PayloadOffset(), bytes, static_cast<std::size_t>(wanted)))
        return std::nullopt;
    BoxRange fields(bytes, 0, wanted);
    const std::uint64_t version = fields.Read(1);
    fields.Skip(3);  // flags
    if (version > 1)
        return std::nullopt;
    const std::uint64_t created = fields.Read(version == 1 ? 8 : 4);
    if (fields.Error())
        return std::nullopt;
    return created;
}

}  // namespace

std::optional<std::uint64_t> ReadMovieCreationTime(FileReader& file)
{
    std::optional<std::uint64_t> created;
    ForEachBox(file, 0, file.Size(), exif_limits::kMaxIsoTopLevelBoxes, [&](const BoxHeader& movie) {
        if (movie.type != FourCC("moov"))
            return false;
        // The movie header is the first child by the format's rule; a few writers put others
        // before it.
        ForEachBox(file, movie.PayloadOffset(), movie.offset + movie.size, exif_limits::kMaxMovieChildBoxes,
                   [&](const BoxHeader& child) {
                       if (child.type != FourCC("mvhd"))
                           return false;
                       created = ReadMovieHeader(file, child);
                       return true;
                   });
        return true;  // one movie box per file
    });
    return created;
}

std::optional<std::int64_t> PlausibleMovieTime(std::uint64_t secondsSince1904, std::int64_t nowUnix)
{
    if (secondsSince1904 > static_cast<std::uint64_t>(INT64_MAX - kSeconds1904To1970))
        return std::nullopt;
    const std::int64_t sinceEpoch = static_cast<std::int64_t>(secondsSince1904) - kSeconds1904To1970;
    if (sinceEpoch < kUnix1990 || sinceEpoch > nowUnix + kSecondsPerDay)
        return std::nullopt;
    return sinceEpoch;
}
