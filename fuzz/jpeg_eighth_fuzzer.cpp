// A whole JPEG file through the eighth-size decoder of the album's thumbnails.

#include <cstdint>

#include "metadata/jpeg_eighth_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EighthImage image;
    if (DecodeJpegEighth(data, size, &image) &&
        image.bgr.size() != std::size_t{image.stride} * image.height)
        __builtin_trap();  // the image must be exactly as large as it says
    return 0;
}
