#pragma once
// Shrinking a picture by areas: every pixel of the result is the mean of the source area it
// covers, parts of pixels weighed by their part. What a careful thumbnailer does, and what a
// plain resampling draw does not (it picks a few source pixels per result pixel and lets fine
// detail flicker into the thumbnail).

#include <cstdint>
#include <vector>

struct BgrPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0;  // bytes a row, a multiple of 4
    std::vector<std::uint8_t> bgr;
};

// The source (24-bit, blue first, rows top down) shrunk to width x height, each no larger
// than the source's and at least 1; an empty picture for sizes out of that range.
BgrPicture ShrinkByAreas(const std::uint8_t* bgr, std::uint32_t width, std::uint32_t height, std::uint32_t stride,
                         std::uint32_t toWidth, std::uint32_t toHeight);
