#include "tests/album/album_test_files.h"

#include <windows.h>
#include <objidl.h>

#include <memory>

#include "album/image_operations.h"
#include "base/gdiplus_headers.h"
#include "tests/metadata/exif_block_builder.h"

namespace {

// The JPEG bytes of a bitmap, as the imaging library encodes them.
Bytes EncodeJpeg(Gdiplus::Bitmap& bitmap)
{
    CLSID jpeg{};
    if (GetEncoderClsid(Gdiplus::ImageFormatJPEG, &jpeg) < 0)
        return {};
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return {};
    Bytes bytes;
    if (bitmap.Save(stream, &jpeg, nullptr) == Gdiplus::Ok) {
        STATSTG stat{};
        stream->Stat(&stat, STATFLAG_NONAME);
        bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
        const LARGE_INTEGER start{};
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        ULONG read = 0;
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
        bytes.resize(read);
    }
    stream->Release();
    return bytes;
}

}  // namespace

Bytes PhotoExifBlock(const PhotoFacts& facts)
{
    ExifBlockBuilder builder;
    if (!facts.dateTimeOriginal.empty())
        builder.Ascii(ExifBlockBuilder::kExif, 0x9003, facts.dateTimeOriginal);
    if (facts.orientation)
        builder.Short(ExifBlockBuilder::kIfd0, 0x0112, *facts.orientation);
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
    const Bytes encoded = EncodeJpeg(bitmap);
    if (encoded.size() < 2)
        return {};
    const Bytes payload = WithExifMarker(PhotoExifBlock(facts));
    Bytes jpeg{0xFF, 0xD8, 0xFF, 0xE1, std::uint8_t((payload.size() + 2) >> 8), std::uint8_t(payload.size() + 2)};
    jpeg.insert(jpeg.end(), payload.begin(), payload.end());
    jpeg.insert(jpeg.end(), encoded.begin() + 2, encoded.end());  // after the encoder's SOI
    return jpeg;
}

PixelSize PictureSize(const std::wstring& path)
{
    Gdiplus::Image image(path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok)
        return {};
    return PixelSize{image.GetWidth(), image.GetHeight()};
}
