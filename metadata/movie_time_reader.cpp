#include "metadata/movie_time_reader.h"

#include <cstring>
#include <vector>

#include "metadata/box_range.h"
#include "metadata/exif_limits.h"
#include "metadata/iso_boxes.h"

namespace {

// From 1904-01-01 to 1970-01-01: 66 years with 17 leap days.
constexpr std::int64_t kSeconds1904To1970 = 2082844800;
constexpr std::int64_t kUnix1990 = 631152000;
constexpr std::int64_t kSecondsPerDay = 86400;

// The first `count` bytes (or fewer, as the box holds) of a full box's payload into `bytes`,
// past its version and flags; false when they cannot be read or the version is neither 0 nor 1.
bool ReadFullBox(FileReader& file, const BoxHeader& box, std::uint8_t* bytes, std::size_t count, BoxRange* fields,
                 std::uint64_t* version)
{
    const std::uint64_t wanted = box.PayloadSize() < count ? box.PayloadSize() : count;
    if (!file.ReadAt(box.PayloadOffset(), bytes, static_cast<std::size_t>(wanted)))
        return false;
    *fields = BoxRange(bytes, 0, wanted);
    *version = fields->Read(1);
    fields->Skip(3);  // flags
    return *version <= 1;
}

// "mvhd": version and flags, then the creation time in 32 bits (version 0) or 64 (version 1).
std::optional<std::uint64_t> ReadMovieHeader(FileReader& file, const BoxHeader& box)
{
    std::uint8_t bytes[12];
    BoxRange fields(bytes, 0, 0);
    std::uint64_t version = 0;
    if (!ReadFullBox(file, box, bytes, sizeof bytes, &fields, &version))
        return std::nullopt;
    const std::uint64_t created = fields.Read(version == 1 ? 8 : 4);
    if (fields.Error())
        return std::nullopt;
    return created;
}

// "tkhd": version and flags, times, IDs and the duration (20 bytes in version 0, 32 in version
// 1), 16 reserved bytes, then the 3 x 3 display matrix and the width and height, 16.16 fixed.
std::optional<std::pair<std::uint32_t, std::uint32_t>> ReadTrackHeader(FileReader& file, const BoxHeader& box)
{
    std::uint8_t bytes[96];
    BoxRange fields(bytes, 0, 0);
    std::uint64_t version = 0;
    if (!ReadFullBox(file, box, bytes, sizeof bytes, &fields, &version))
        return std::nullopt;
    fields.Skip((version == 1 ? 32 : 20) + 16);
    std::int32_t matrix[9];
    for (std::int32_t& value : matrix)
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(fields.Read(4)));
    // Rounded to whole pixels; a size past 32767 is no frame a camera writes.
    const std::uint64_t width = (fields.Read(4) + 0x8000) >> 16;
    const std::uint64_t height = (fields.Read(4) + 0x8000) >> 16;
    if (fields.Error() || width == 0 || height == 0 || width > 0x7FFF || height > 0x7FFF)
        return std::nullopt;
    // a b u / c d v / x y w: a quarter turn leaves a and d zero, b and c not.
    const bool quarterTurn = matrix[0] == 0 && matrix[4] == 0 && matrix[1] != 0 && matrix[3] != 0;
    return quarterTurn ? std::make_pair(static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width))
                       : std::make_pair(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
}

// True when the track's media handler ("mdia" / "hdlr") is video: version and flags, a
// predefined word, then the handler type.
bool IsVideoTrack(FileReader& file, const BoxHeader& track)
{
    bool video = false;
    ForEachBox(file, track.PayloadOffset(), track.offset + track.size, exif_limits::kMaxMovieChildBoxes,
               [&](const BoxHeader& media) {
                   if (media.type != FourCC("mdia"))
                       return false;
                   ForEachBox(file, media.PayloadOffset(), media.offset + media.size, exif_limits::kMaxMovieChildBoxes,
                              [&](const BoxHeader& handler) {
                                  if (handler.type != FourCC("hdlr"))
                                      return false;
                                  std::uint8_t bytes[12];
                                  video = handler.PayloadSize() >= sizeof bytes &&
                                          file.ReadAt(handler.PayloadOffset(), bytes, sizeof bytes) &&
                                          FourCC("vide") == ((std::uint32_t{bytes[8]} << 24) |
                                                             (std::uint32_t{bytes[9]} << 16) |
                                                             (std::uint32_t{bytes[10]} << 8) | bytes[11]);
                                  return true;
                              });
                   return true;
               });
    return video;
}

// The frame size of a track that is video; nothing for any other.
std::optional<std::pair<std::uint32_t, std::uint32_t>> VideoFrameSize(FileReader& file, const BoxHeader& track)
{
    std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
    ForEachBox(file, track.PayloadOffset(), track.offset + track.size, exif_limits::kMaxMovieChildBoxes,
               [&](const BoxHeader& header) {
                   if (header.type != FourCC("tkhd"))
                       return false;
                   size = ReadTrackHeader(file, header);
                   return true;
               });
    if (size && !IsVideoTrack(file, track))
        return std::nullopt;
    return size;
}

// The file with the start of its movie box held in memory, from one read: the movie header and
// the first track's header and handler lie there, and each would otherwise cost a read of its
// own (a movie's box usually follows gigabytes of media, beyond the head read up front).
class MovieBoxStart final : public FileReader {
public:
    MovieBoxStart(FileReader& file, const BoxHeader& movie) : file_(file), start_(movie.offset)
    {
        const std::uint64_t length =
            movie.size < exif_limits::kMovieBoxStartBytes ? movie.size : exif_limits::kMovieBoxStartBytes;
        if (!ReadBytesAt(file, start_, length, &held_))
            held_.clear();
    }
    std::uint64_t Size() const override { return file_.Size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) override
    {
        if (offset >= start_ && offset - start_ <= held_.size() && count <= held_.size() - (offset - start_)) {
            std::memcpy(out, held_.data() + (offset - start_), count);
            return true;
        }
        return file_.ReadAt(offset, out, count);
    }

private:
    FileReader& file_;
    std::uint64_t start_;
    std::vector<std::uint8_t> held_;
};

}  // namespace

MovieHeaders ReadMovieHeaders(FileReader& disk)
{
    MovieHeaders headers;
    ForEachBox(disk, 0, disk.Size(), exif_limits::kMaxIsoTopLevelBoxes, [&](const BoxHeader& movie) {
        if (movie.type != FourCC("moov"))
            return false;
        MovieBoxStart file(disk, movie);
        // The movie header is the first child by the format's rule; a few writers put others
        // before it. The tracks follow it.
        bool movieHeaderSeen = false;
        ForEachBox(file, movie.PayloadOffset(), movie.offset + movie.size, exif_limits::kMaxMovieChildBoxes,
                   [&](const BoxHeader& child) {
                       if (child.type == FourCC("mvhd") && !movieHeaderSeen) {
                           movieHeaderSeen = true;
                           headers.created = ReadMovieHeader(file, child);
                       } else if (child.type == FourCC("trak") && !headers.frameSize) {
                           headers.frameSize = VideoFrameSize(file, child);
                       }
                       return movieHeaderSeen && headers.frameSize.has_value();
                   });
        return true;  // one movie box per file
    });
    return headers;
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
