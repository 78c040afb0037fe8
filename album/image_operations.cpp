#include "album/image_operations.h"

#include <shlwapi.h>

#include <atomic>
#include <vector>

#include "base/handles.h"
#include "base/log_file.h"

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

FittedSize FitIntoBox(std::int32_t w, std::int32_t h, std::int32_t boxWidth, std::int32_t boxHeight)
{
    FittedSize fitted;
    // Signed 32-bit, truncating: one side of the box is always filled.
    if (w < h) {
        fitted.height = boxHeight;
        fitted.width = w * boxHeight / h;
        if (boxWidth < fitted.width) {
            fitted.width = boxWidth;
            fitted.height = w ? h * boxWidth / w : 0;
        }
    } else {
        fitted.width = boxWidth;
        fitted.height = w ? h * boxWidth / w : 0;
        if (boxHeight < fitted.height) {
            fitted.height = boxHeight;
            fitted.width = h ? w * boxHeight / h : 0;
        }
    }
    return fitted;
}

bool TurnsAQuarter(std::uint16_t orientation)
{
    return orientation >= 5 && orientation <= 8;
}

FittedSize FittedDrawSize(std::int32_t w, std::int32_t h, std::uint16_t orientation, std::int32_t boxWidth,
                          std::int32_t boxHeight)
{
    if (!TurnsAQuarter(orientation))
        return FitIntoBox(w, h, boxWidth, boxHeight);
    // Drawn in the stored shape, so that the turn gives the upright one.
    const FittedSize upright = FitIntoBox(h, w, boxWidth, boxHeight);
    return FittedSize{upright.height, upright.width};
}

void TurnUpright(Gdiplus::Bitmap& bitmap, std::uint16_t orientation)
{
    bitmap.RotateFlip(UprightTurn(orientation));
}

std::unique_ptr<Gdiplus::Bitmap> MakeUprightThumbnail(Gdiplus::Image& picture, std::uint16_t orientation,
                                                      std::int32_t boxWidth, std::int32_t boxHeight)
{
    const FittedSize drawn = FittedDrawSize(static_cast<std::int32_t>(picture.GetWidth()),
                                            static_cast<std::int32_t>(picture.GetHeight()), orientation, boxWidth,
                                            boxHeight);
    std::unique_ptr<Gdiplus::Bitmap> thumbnail = DrawInto(picture, drawn.width, drawn.height);
    if (!thumbnail) {
        g_Log.Write(L"縮小画像を作れませんでした (%d x %d)", drawn.width, drawn.height);
        return nullptr;
    }
    TurnUpright(*thumbnail, orientation);
    return thumbnail;
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

bool EncodeJpeg(Gdiplus::Image& image, std::int32_t quality, std::vector<std::uint8_t>* bytes)
{
    bytes->clear();
    CLSID jpeg{};
    if (GetEncoderClsid(Gdiplus::ImageFormatJPEG, &jpeg) < 0)
        return false;
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    ULONG value = static_cast<ULONG>(quality);
    parameters.Parameter[0].Value = &value;
    UniqueComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        image.Save(stream.get(), &jpeg, &parameters) != Gdiplus::Ok)
        return false;
    HGLOBAL memory = nullptr;
    STATSTG status{};
    if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) || FAILED(stream->Stat(&status, STATFLAG_NONAME)))
        return false;
    const auto size = static_cast<std::size_t>(status.cbSize.QuadPart);
    const void* data = GlobalLock(memory);
    if (!data)
        return false;
    bytes->assign(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    GlobalUnlock(memory);
    return !bytes->empty();
}

std::unique_ptr<Gdiplus::Image> DecodePicture(const std::wstring& path)
{
    CountPictureDecode();
    return std::make_unique<Gdiplus::Image>(path.c_str());
}

DecodedPicture DecodePictureBytes(const std::vector<std::uint8_t>& bytes)
{
    DecodedPicture decoded;
    *decoded.stream.put() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!decoded.stream)
        return decoded;
    CountPictureDecode();
    decoded.image = std::make_unique<Gdiplus::Image>(decoded.stream.get());
    return decoded;
}

void CountPictureDecode()
{
    g_decodes.fetch_add(1, std::memory_order_relaxed);
}

std::uint64_t PictureDecodes()
{
    return g_decodes.load(std::memory_order_relaxed);
}
