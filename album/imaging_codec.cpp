#include "album/imaging_codec.h"

#include "album/image_operations.h"
#include "album/picture_header.h"
#include "album/whole_decodes.h"

bool DecodeByImagingLibrary(const std::vector<std::uint8_t>& bytes, std::uint16_t orientation, std::int32_t boxWidth,
                            std::int32_t boxHeight, BgrPicture* upright, DecodedPixels* refused)
{
    *refused = DecodedPixels{};
    refused->refusal = DecodeRefusal::kUnreadable;
    ClaimedSize claimed;
    if (!ReadClaimedSize(bytes.data(), bytes.size(), &claimed))
        return false;
    refused->sourceWidth = claimed.width;
    refused->sourceHeight = claimed.height;
    const std::uint64_t pixels = std::uint64_t{claimed.width} * claimed.height;
    refused->bytesNeeded = pixels * picture_limits::kImagingBytesPerPixel;
    if (pixels > picture_limits::kMaxSourcePixels || refused->bytesNeeded > picture_limits::kMaxDecodeBytes) {
        refused->refusal = DecodeRefusal::kTooLarge;
        return false;
    }
    const WholeDecodeTurn turn;
    const DecodedPicture picture = DecodePictureBytes(bytes);
    // The type test of the album: only what decodes as a raster image has a thumbnail.
    if (!picture.image || picture.image->GetLastStatus() != Gdiplus::Ok ||
        picture.image->GetType() != Gdiplus::ImageTypeBitmap)
        return false;
    const FittedSize stored =
        FittedStoredSize(static_cast<std::int32_t>(picture.image->GetWidth()),
                         static_cast<std::int32_t>(picture.image->GetHeight()), orientation, boxWidth, boxHeight);
    *upright = TurnUpright(DrawFitted(*picture.image, stored.width, stored.height), orientation);
    return true;
}
