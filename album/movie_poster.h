#pragma once
// A movie's poster: one frame of it, through FFmpeg's libraries, read from the file a piece at
// a time through our own reader (never the whole file: a phone's movie runs to gigabytes, and
// the frame needs its index and a second of it). Only what cameras and phones write is
// built into the libraries (MP4/MOV, MPEG-TS, AVI, Matroska; H.264, HEVC, MPEG-4 part 2,
// Motion JPEG, MPEG-2). Portable: the fuzz target of the posters builds it natively.
//
// Bytes of untrusted files: the frame's size is checked against the limits of album_limits.h
// before a picture is made of it, and how far the decode goes is bounded in frames.

#include <cstdint>
#include <vector>

#include "album/decoded_pixels.h"

class FileReader;

// What the poster frame of a movie came to.
struct MovieFrame {
    // The frame as stored (before any turn), 24-bit.
    DecodedPixels decoded;
    // The Exif orientation that stands it upright, from the rotation the file asks for (a
    // phone records portrait as landscape turned a quarter): 1, 3, 6 or 8.
    std::uint16_t orientation = 1;
    // The movie's length, in milliseconds (0 when the file does not say).
    std::int64_t lengthMs = 0;
};

// The frame about one second in (the first keyframe of a clip of a second or less), read
// through `file`. False for a file that has no video stream FFmpeg decodes, or whose frame is
// past the limits.
bool DecodeMoviePosterFrame(FileReader& file, MovieFrame* frame);

// The movie's length kept inside its poster's JPEG, as a comment segment after the start of
// the picture: the poster and its length are cached as one entry, so a rebuild reads no movie.
void AddMovieLength(std::vector<std::uint8_t>* jpeg, std::int64_t lengthMs);
// The length a poster's JPEG holds; -1 when it holds none.
std::int64_t MovieLengthOf(const std::vector<std::uint8_t>& jpeg);
