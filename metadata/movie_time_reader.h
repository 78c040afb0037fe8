#pragma once
// The filming time a camera or phone writes into a movie of the ISO base media / QuickTime
// family (.mov, .mp4, .m4v, .3gp): the creation time of the "moov" box's "mvhd" header.
// Only box headers are read on the way, wherever "moov" lies: a movie of gigabytes whose
// "moov" follows its media data costs a few small reads.

#include <cstdint>
#include <optional>

#include "metadata/file_reader.h"

// Seconds from 1904-01-01 00:00:00 UTC, as the movie stores it (0 when the writer had no
// time); nothing when the file has no readable "mvhd".
std::optional<std::uint64_t> ReadMovieCreationTime(FileReader& file);

// The stored time as seconds since 1970 UTC, when it is one a movie can have been filmed at:
// from 1990 on and no later than a day after `nowUnix`. A zero or implausible value is none.
std::optional<std::int64_t> PlausibleMovieTime(std::uint64_t secondsSince1904, std::int64_t nowUnix);
