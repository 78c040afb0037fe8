#pragma once
// The picture work of the album on the platform's imaging library (GDI+): an upright copy by
// the Exif orientation, a copy fitted into a box, and JPEG files at a chosen quality. The
// orientation and the GPS position come from our own Exif reader, which answers the same
// everywhere (the imaging library gives no property items under Wine).

#include <cstdint>
#include <memory>
#include <string>

#include "base/gdiplus_headers.h"
#include "base/status_code.h"

// A new 32-bit bitmap of the image at full size, turned and mirrored upright by an Exif
// orientation (1 to 8; anything else leaves it as drawn). Null when it cannot be allocated.
std::unique_ptr<Gdiplus::Bitmap> CopyWithOrientation(Gdiplus::Image& image, std::uint16_t orientation);

// A new 32-bit bitmap of the image fitted into boxWidth x boxHeight with its proportions
// (filling the box along one side, a small image enlarged). The source is released either
// way. Null, with a log line, when the bitmap cannot be allocated.
std::unique_ptr<Gdiplus::Bitmap> MakeFittedCopy(std::unique_ptr<Gdiplus::Image> image, std::int32_t boxWidth,
                                                std::int32_t boxHeight);

// The image as a JPEG file; quality 0 to 100 goes to the encoder as it is. 0 on success,
// E_FAIL without an encoder or when the save fails.
StatusCode SaveAsJpeg(const std::wstring& path, Gdiplus::Image& image, std::int32_t quality);

// The index of the first installed encoder of the format, with its class copied out; -1
// when there is none.
int GetEncoderClsid(const GUID& format, CLSID* clsid);

// The picture file as the imaging library decodes it; check its last status. Every decode of
// the album goes through here, so that they can be counted.
std::unique_ptr<Gdiplus::Image> DecodePicture(const std::wstring& path);
// How many pictures this process has decoded (for the benchmarks).
std::uint64_t PictureDecodes();

// True when the imaging library decodes the file as a raster image (its "bitmap" type).
bool IsBitmapImage(const std::wstring& path);
