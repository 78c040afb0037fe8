#include "album/image_operations.h"

#include <atomic>
#include <vector>

#include "base/logfile.h"

namespace {

std::atomic<std::uint64_t> g_decodes{0};

// The rotation and mirror that put a picture of each Exif orientation upright.
Gdiplus::RotateFlipType UprightTurn(std::uint16_t orientation)
{
    switch (orientation) {
    case 2:
        return Gdiplus::RotateNoneFlipX;
    case 3:
        return Gdiplus::Rotate180FlipNone;
    case 4:
        return Gdiplus::RotateNoneFlipY;
    case 5:
        return Gdiplus::Rotate90FlipX;
    case 6:
        return Gdiplus::Rotate90FlipNone;
    case 7:
        return Gdiplus::Rotate270FlipX;
    case 8:
        return Gdiplus::Rotate270FlipNone;
    default:
        return Gdiplus::RotateNoneFlipNone;
    }
}

// A new 32-bit ARGB bitmap with the whole image drawn into width x height; null when the
// bitmap cannot be allocated.
std::unique_ptr<Gdiplus::Bitmap> DrawInto(Gdiplus::Image& image, INT width, INT height)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Graphics surface(bitmap.get());
    surface.DrawImage(&image, Gdiplus::Rect(0, 0, width, height), 0, 0, static_cast<INT>(image.GetWidth()),
                      static_cast<INT>(image.GetHeight()), Gdiplus::UnitPixel);
    return bitmap;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> CopyWithOrientation(Gdiplus::Image& image, std::uint16_t orientation)
{
    std::unique_ptr<Gdiplus::Bitmap> copy =
        DrawInto(image, static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()));
    if (copy)
        copy->RotateFlip(UprightTurn(orientation));
    return copy;
}

std::unique_ptr<Gdiplus::Bitmap> MakeFittedCopy(std::unique_ptr<Gdiplus::Image> image, std::int32_t boxWidth,
                                                std::int32_t boxHeight)
{
    const auto w = static_cast<std::int32_t>(image->GetWidth());
    const auto h = static_cast<std::int32_t>(image->GetHeight());
    std::int32_t width = 0, height = 0;
    // Signed 32-bit, truncating: one side of the box is always filled.
    if (w < h) {
        height = boxHeight;
        width = w * boxHeight / h;
        if (boxWidth < width) {
            width = boxWidth;
            height = w ? h * boxWidth / w : 0;
        }
    } else {
        width = boxWidth;
        height = w ? h * boxWidth / w : 0;
        if (boxHeight < height) {
            height = boxHeight;
            width = h ? w * boxHeight / h : 0;
        }
    }
    std::unique_ptr<Gdiplus::Bitmap> fitted = DrawInto(*image, width, height);
    if (!fitted)
        g_Log.Write(L"縮小画像を作れませんでした (%d x %d)", width, height);
    return fitted;
}

int GetEncoderClsid(const GUID& format, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return -1;
    std::vector<std::uint8_t> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return -1;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].FormatID == format) {
            *clsid = encoders[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

StatusCode SaveAsJpeg(const std::wstring& path, Gdiplus::Image& image, std::int32_t quality)
{
    CLSID jpeg{};
    if (GetEncoderClsid(Gdiplus::ImageFormatJPEG, &jpeg) < 0)
        return kStatusFail;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    ULONG value = static_cast<ULONG>(quality);
    parameters.Parameter[0].Value = &value;
    return image.Save(path.c_str(), &jpeg, &parameters) == Gdiplus::Ok ? kStatusOk : kStatusFail;
}

std::unique_ptr<Gdiplus::Image> DecodePicture(const std::wstring& path)
{
    g_decodes.fetch_add(1, std::memory_order_relaxed);
    return std::make_unique<Gdiplus::Image>(path.c_str());
}

std::uint64_t PictureDecodes()
{
    return g_decodes.load(std::memory_order_relaxed);
}

bool IsBitmapImage(const std::wstring& path)
{
    const std::unique_ptr<Gdiplus::Image> image = DecodePicture(path);
    return image->GetLastStatus() == Gdiplus::Ok && image->GetType() == Gdiplus::ImageTypeBitmap;
}
