#pragma once
// Pictures as pixels, and the two things the album does to them: shrinking by areas (every
// pixel of the result is the mean of the source area it covers, parts of pixels weighed by
// their part: what a careful thumbnailer does, and what a plain resampling draw does not) and
// turning upright by an Exif orientation. Portable: the fuzz targets build it natively.

#include <cstdint>
#include <vector>

// 24 bits a pixel, blue first, rows top down: what a device-independent bitmap holds.
struct BgrPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t stride = 0;  // bytes a row, a multiple of 4
    std::vector<std::uint8_t> bgr;

    // An empty picture of the size, rows padded to a multiple of 4 bytes; false when the size
    // is 0 or the memory is not there.
    bool Allocate(std::uint32_t pictureWidth, std::uint32_t pictureHeight);
    bool Empty() const { return bgr.empty(); }
};

// True for the Exif orientations that turn a picture a quarter (5 to 8): its upright width is
// its stored height.
bool TurnsAQuarter(std::uint16_t orientation);

// The size a picture of width x height takes fitted into boxWidth x boxHeight with its
// proportions: one side of the box filled, a small picture enlarged, truncating.
struct FittedSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
FittedSize FitIntoBox(std::int32_t width, std::int32_t height, std::int32_t boxWidth, std::int32_t boxHeight);
// The size to make a stored width x height picture so that, turned upright by the
// orientation, it is fitted into the box.
FittedSize FittedStoredSize(std::int32_t width, std::int32_t height, std::uint16_t orientation, std::int32_t boxWidth,
                            std::int32_t boxHeight);

// The picture at width x height: shrunk by areas, or enlarged smoothly (bilinear) where the
// size is larger than the picture's.
BgrPicture ResizeTo(const BgrPicture& picture, std::uint32_t width, std::uint32_t height);

// The picture as a viewer shows it upright, for the Exif orientation it was stored with (1 to
// 8; anything else leaves it as it is).
BgrPicture TurnUpright(const BgrPicture& picture, std::uint16_t orientation);

// The source (24-bit, blue first, rows top down) shrunk to width x height, each no larger
// than the source's and at least 1; an empty picture for sizes out of that range.
BgrPicture ShrinkByAreas(const std::uint8_t* bgr, std::uint32_t width, std::uint32_t height, std::uint32_t stride,
                         std::uint32_t toWidth, std::uint32_t toHeight);
