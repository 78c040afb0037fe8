#pragma once
// The picture work of the album on the platform's imaging library (GDI+): a thumbnail fitted
// into a box and stood upright by the Exif orientation, and JPEG bytes at a chosen quality.
// The orientation and the GPS position come from our own Exif reader, which answers the same
// everywhere (the imaging library gives no property items under Wine). Every function works
// on objects of its own, so several threads may make thumbnails at once.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/gdiplus_headers.h"
#include "base/handles.h"
#include "base/status_code.h"

// The size a picture of width x height takes fitted into boxWidth x boxHeight with its
// proportions: one side of the box filled, a small picture enlarged, truncating.
struct FittedSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
FittedSize FitIntoBox(std::int32_t width, std::int32_t height, std::int32_t boxWidth, std::int32_t boxHeight);

// True for the Exif orientations that turn a picture a quarter (5 to 8): its upright width is
// its stored height.
bool TurnsAQuarter(std::uint16_t orientation);

// The size to draw a stored width x height picture at so that, turned upright by the
// orientation, it is fitted into the box.
FittedSize FittedDrawSize(std::int32_t width, std::int32_t height, std::uint16_t orientation, std::int32_t boxWidth,
                          std::int32_t boxHeight);

// Turns and mirrors the bitmap upright by an Exif orientation (1 to 8; anything else leaves it).
void TurnUpright(Gdiplus::Bitmap& bitmap, std::uint16_t orientation);

// The thumbnail of a decoded picture: drawn straight from it into the fitted size of its
// upright shape, then turned and mirrored upright (1 to 8; anything else leaves it as drawn).
// Turning the small bitmap rather than the whole picture gives the same picture at a fraction
// of the work. Null, with a log line, when the bitmap cannot be allocated.
std::unique_ptr<Gdiplus::Bitmap> MakeUprightThumbnail(Gdiplus::Image& picture, std::uint16_t orientation,
                                                      std::int32_t boxWidth, std::int32_t boxHeight);

// The image as JPEG bytes; quality 0 to 100 goes to the encoder as it is. False without an
// encoder or when the encoding fails.
bool EncodeJpeg(Gdiplus::Image& image, std::int32_t quality, std::vector<std::uint8_t>* bytes);

// The index of the first installed encoder of the format, with its class copied out; -1
// when there is none.
int GetEncoderClsid(const GUID& format, CLSID* clsid);

// The picture file as the imaging library decodes it; check its last status. Every decode of
// the album goes through here or through its own JPEG decoder, so that they can be counted.
std::unique_ptr<Gdiplus::Image> DecodePicture(const std::wstring& path);
// The same from the file's bytes, read already; the stream over them lives as long as the
// image (declared first, it goes last). No image when no stream can be made.
struct DecodedPicture {
    UniqueComPtr<IStream> stream;
    std::unique_ptr<Gdiplus::Image> image;
};
DecodedPicture DecodePictureBytes(const std::vector<std::uint8_t>& bytes);
// Counts one decode of a picture; how many this process has made (for the benchmarks).
void CountPictureDecode();
std::uint64_t PictureDecodes();
