#pragma once
// A JPEG decoded at an eighth of its size, for thumbnails: every 8 x 8 block becomes one
// pixel, its mean, which is the block's DC coefficient. The Huffman-coded data is still read
// whole, but nothing is transformed back into pixels, which is where a full decode spends its
// time. Only what cameras and phones write is taken: baseline or extended sequential Huffman
// coding, 8-bit samples, greyscale or YCbCr with the chroma sampled 1 x 1 (4:4:4, 4:2:2,
// 4:2:0, 4:4:0). Anything else (progressive, arithmetic, 12-bit, CMYK, RGB, damaged data) is
// refused, so that the caller decodes it the full way.
//
// A parser of untrusted input: every read goes through one bounded cursor, and every count
// and size from the file is checked against the limits below before it is used.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace jpeg_eighth_limits {
// The decoded image is at most this many pixels (a source of 1 gigapixel).
constexpr std::uint64_t kMaxPixels = 16u << 20;
// Zero bytes fed in place of data that is missing before the end of a scan or of a restart
// interval; real files end them within a byte or two of padding.
constexpr int kMaxPaddingBytes = 64;
}  // namespace jpeg_eighth_limits

struct EighthImage {
    std::uint32_t sourceWidth = 0;   // the picture's own size
    std::uint32_t sourceHeight = 0;
    std::uint32_t width = 0;   // the source's width / 8, rounded up
    std::uint32_t height = 0;  // the same of its height
    std::uint32_t stride = 0;  // bytes a row, a multiple of 4
    // Blue, green, red for each pixel, rows top down: what a 24-bit device-independent bitmap
    // holds.
    std::vector<std::uint8_t> bgr;
};

// False, with the image empty, for anything the decoder does not take.
bool DecodeJpegEighth(const std::uint8_t* data, std::size_t size, EighthImage* image);
