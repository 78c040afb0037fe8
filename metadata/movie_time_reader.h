#pragma once
// The filming time a camera or phone writes into a movie of the ISO base media / QuickTime
// family (.mov, .mp4, .m4v, .3gp): the creation time of the "moov" box's "mvhd" header; and
// the size of its frames, from its first video track's header.
// Only box headers are read on the way, wherever "moov" lies: a movie of gigabytes whose
// "moov" follows its media data costs a few small reads.

#include <cstdint>
#include <optional>
#include <utility>

#include "metadata/file_reader.h"

struct MovieHeaders {
    // Seconds from 1904-01-01 00:00:00 UTC, as the movie stores it (0 when the writer had no
    // time); nothing when the file has no readable "mvhd".
    std::optional<std::uint64_t> created;
    // The frame size of the first video track as a player shows it: its "tkhd" width and
    // height, turned when the track's matrix turns it a quarter (a phone's portrait movie).
    std::optional<std::pair<std::uint32_t, std::uint32_t>> frameSize;
};

// The movie's headers, read in one walk of the "moov" box's headers: its "mvhd", and the
// "tkhd" and handler ("hdlr") of its tracks up to the first video track.
MovieHeaders ReadMovieHeaders(FileReader& file);

// The stored time as seconds since 1970 UTC, when it is one a movie can have been filmed at:
// from 1990 on and no later than a day after `nowUnix`. A zero or implausible value is none.
std::optional<std::int64_t> PlausibleMovieTime(std::uint64_t secondsSince1904, std::int64_t nowUnix);
