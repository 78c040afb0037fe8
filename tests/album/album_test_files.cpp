#include "tests/album/album_test_files.h"

#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "album/image_operations.h"
#include "album/picture_codecs.h"
#include "base/gdiplus_headers.h"
#include "tests/metadata/exif_block_builder.h"

namespace {

// The JPEG of a bitmap with the facts' Exif segment in front, as a camera writes it.
Bytes CameraJpeg(Gdiplus::Bitmap& bitmap, const PhotoFacts& facts, std::int32_t quality)
{
    std::vector<std::uint8_t> encoded;
    if (!EncodeJpeg(PixelsOf(bitmap), quality, &encoded) || encoded.size() < 2)
        return {};
    const Bytes payload = WithExifMarker(PhotoExifBlock(facts));
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t((payload.size() + 2) >> 8), std::uint8_t(payload.size() + 2)};
    jpeg.insert(jpeg.end(), payload.begin(), payload.end());
    jpeg.insert(jpeg.end(), encoded.begin() + 2, encoded.end());  // after the encoder's SOI
    return jpeg;
}

}  // namespace

Bytes PhotoExifBlock(const PhotoFacts& facts)
{
    ExifBlockBuilder builder;
    if (!facts.dateTimeOriginal.empty())
        builder.Ascii(ExifBlockBuilder::kExif, 0x9003, facts.dateTimeOriginal);
    if (facts.orientation)
        builder.Short(ExifBlockBuilder::kIfd0, 0x0112, *facts.orientation);
    if (!facts.make.empty())
        builder.Ascii(ExifBlockBuilder::kIfd0, 0x010F, facts.make);
    if (!facts.model.empty())
        builder.Ascii(ExifBlockBuilder::kIfd0, 0x0110, facts.model);
    if (facts.gps) {
        const auto& p = *facts.gps;
        builder.Ascii(ExifBlockBuilder::kGps, 1, std::string(1, p.latitudeRef));
        builder.Rationals(ExifBlockBuilder::kGps, 2, {{p.latitude[0], 1}, {p.latitude[1], 1}, {p.latitude[2], 100}});
        builder.Ascii(ExifBlockBuilder::kGps, 3, std::string(1, p.longitudeRef));
        builder.Rationals(ExifBlockBuilder::kGps, 4, {{p.longitude[0], 1}, {p.longitude[1], 1}, {p.longitude[2], 100}});
    }
    return builder.Build();
}

Bytes PhotoJpeg(int width, int height, const PhotoFacts& facts)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics surface(&bitmap);
        Gdiplus::SolidBrush left(Gdiplus::Color(255, 200, 60, 40)), right(Gdiplus::Color(255, 40, 90, 200));
        surface.FillRectangle(&left, 0, 0, width / 2, height);
        surface.FillRectangle(&right, width / 2, 0, width - width / 2, height);
    }
    return CameraJpeg(bitmap, facts, 75);
}

Bytes CameraLikeJpeg(int width, int height, const PhotoFacts& facts, std::uint32_t seed)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    Gdiplus::BitmapData pixels{};
    const Gdiplus::Rect all(0, 0, width, height);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &pixels) != Gdiplus::Ok)
        return {};
    // Light falling across a scene (slow gradients and a few soft shapes) with sensor noise:
    // about what a 12-megapixel camera's JPEG holds per pixel.
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint8_t*>(pixels.Scan0) + static_cast<std::ptrdiff_t>(y) * pixels.Stride;
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>((state >> 24) % 25) - 12;
            const int wave = ((x / 37 + y / 53 + static_cast<int>(seed)) % 7) * 9;
            const int base[3] = {40 + 150 * x / width + wave, 60 + 120 * y / height, 200 - 140 * (x + y) / (width + height)};
            for (int c = 0; c < 3; ++c)
                row[3 * x + c] = static_cast<std::uint8_t>(std::clamp(base[c] + noise, 0, 255));
        }
    }
    bitmap.UnlockBits(&pixels);
    return CameraJpeg(bitmap, facts, 92);
}

PixelSize PictureSize(const std::wstring& path)
{
    Gdiplus::Image image(path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok)
        return {};
    return PixelSize{image.GetWidth(), image.GetHeight()};
}
