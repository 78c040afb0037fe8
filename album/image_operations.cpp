#include "album/image_operations.h"

#include <shlwapi.h>

#include <atomic>
#include <cstring>

#include "base/log_file.h"

namespace {

std::atomic<std::uint64_t> g_decodes{0};

}  // namespace

BgrPicture PixelsOf(Gdiplus::Bitmap& bitmap)
{
    BgrPicture pixels;
    const UINT width = bitmap.GetWidth(), height = bitmap.GetHeight();
    Gdiplus::Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    if (!pixels.Allocate(width, height) ||
        bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok)
        return BgrPicture{};
    for (UINT y = 0; y < height; ++y)
        std::memcpy(pixels.bgr.data() + std::size_t{y} * pixels.stride,
                    static_cast<const std::uint8_t*>(data.Scan0) + static_cast<std::ptrdiff_t>(y) * data.Stride,
                    std::size_t{width} * 3);
    bitmap.UnlockBits(&data);
    return pixels;
}

BgrPicture DrawFitted(Gdiplus::Image& picture, std::int32_t width, std::int32_t height)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat24bppRGB);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) {
        g_Log.Write(L"縮小画像を作れませんでした (%d x %d)", width, height);
        return BgrPicture{};
    }
    {
        Gdiplus::Graphics surface(&bitmap);
        surface.DrawImage(&picture, Gdiplus::Rect(0, 0, width, height), 0, 0, static_cast<INT>(picture.GetWidth()),
                          static_cast<INT>(picture.GetHeight()), Gdiplus::UnitPixel);
    }
    return PixelsOf(bitmap);
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
