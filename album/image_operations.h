#pragma once
// The album's use of the platform's imaging library (GDI+): decoding the pictures no codec of
// ours reads (PNG, GIF, BMP, TIFF), drawing one at the size its thumbnail needs, and its
// pixels. Every function works on objects of its own, so several threads may use it at once.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "album/picture_pixels.h"
#include "base/gdiplus_headers.h"
#include "base/handles.h"

// The picture drawn whole into a new width x height bitmap, as 24-bit pixels; empty when the
// bitmap cannot be made.
BgrPicture DrawFitted(Gdiplus::Image& picture, std::int32_t width, std::int32_t height);
// A bitmap's pixels, as they are.
BgrPicture PixelsOf(Gdiplus::Bitmap& bitmap);

// The picture in the bytes of its file, as the imaging library decodes it; check the image's
// last status. The stream over the bytes lives as long as the image (declared first, it goes
// last). No image when no stream can be made.
struct DecodedPicture {
    UniqueComPtr<IStream> stream;
    std::unique_ptr<Gdiplus::Image> image;
};
DecodedPicture DecodePictureBytes(const std::vector<std::uint8_t>& bytes);

// Counts one decode of a picture, by whatever decodes it; how many this process has made (for
// the benchmarks and the tests).
void CountPictureDecode();
std::uint64_t PictureDecodes();
