#pragma once
// Media files the album tests make: real, decodable JPEG pictures of a chosen size with the
// Exif facts a camera would write (capture time, orientation, GPS position, make and model).

#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/test_files.h"

struct PhotoFacts {
    std::string dateTimeOriginal;           // "YYYY:MM:DD hh:mm:ss"
    std::optional<std::uint16_t> orientation;
    // Degrees, minutes and seconds (the seconds in hundredths) with their reference letters.
    struct Position {
        std::uint32_t latitude[3];
        char latitudeRef;
        std::uint32_t longitude[3];
        char longitudeRef;
    };
    std::optional<Position> gps;
    std::string make;   // IFD0 0x010F, written when not empty
    std::string model;  // IFD0 0x0110
};

// A width x height JPEG, one colour left and another right (so a turn shows), with an APP1
// Exif segment holding the facts.
Bytes PhotoJpeg(int width, int height, const PhotoFacts& facts);

// A width x height JPEG with what a camera's picture holds (gradients, soft shapes, sensor
// noise), encoded at quality 92 as cameras do: the weight of a real photo for benchmarks.
Bytes CameraLikeJpeg(int width, int height, const PhotoFacts& facts, std::uint32_t seed);

// The Exif block alone, for HEIF items.
Bytes PhotoExifBlock(const PhotoFacts& facts);

// The pixel size of a picture file as the imaging library decodes it; 0 x 0 when it cannot.
struct PixelSize {
    unsigned width = 0;
    unsigned height = 0;
};
PixelSize PictureSize(const std::wstring& path);
