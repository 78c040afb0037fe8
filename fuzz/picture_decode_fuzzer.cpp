// A picture file as the album's thumbnails take it: JPEG through libjpeg-turbo and HEIC
// through libheif, as our code calls them, then fitted, turned upright and encoded again; for
// anything else, the read of the size its header claims, which comes before the system's
// imaging library (not here) may see it. The libraries themselves are built without the
// sanitizers; what our code adds around them runs under them.

#include <cstdint>
#include <vector>

#include "album/picture_codecs.h"
#include "album/picture_header.h"
#include "album/picture_pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The last byte picks an orientation, so that every turn meets every shape.
    const auto orientation = static_cast<std::uint16_t>(size ? data[size - 1] % 10 : 0);
    DecodedPixels decoded;
    FittedSize fitted;
    switch (PictureDecoderOf({data, size})) {
    case PictureDecoder::kJpeg:
        if (!DecodeJpegForBox(data, size, 320, 240, orientation, &decoded))
            return 0;
        fitted = FittedStoredSize(static_cast<std::int32_t>(decoded.sourceWidth),
                                  static_cast<std::int32_t>(decoded.sourceHeight), orientation, 320, 240);
        break;
    case PictureDecoder::kHeif:
        if (!DecodeHeifForBox(data, size, 320, 240, &decoded))
            return 0;
        fitted = FitIntoBox(static_cast<std::int32_t>(decoded.sourceWidth),
                            static_cast<std::int32_t>(decoded.sourceHeight), 320, 240);
        break;
    case PictureDecoder::kImagingLibrary: {
        ClaimedSize claimed;
        ReadClaimedSize(data, size, &claimed);
        return 0;
    }
    }
    if (fitted.width <= 0 || fitted.height <= 0)
        return 0;
    const BgrPicture upright = TurnUpright(
        ResizeTo(decoded.pixels, static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height)),
        orientation);
    std::vector<std::uint8_t> jpeg;
    EncodeJpeg(upright, 80, &jpeg);
    return 0;
}
