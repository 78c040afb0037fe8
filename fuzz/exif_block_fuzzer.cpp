// An Exif block as the HEIF route (strict) and the JPEG route (tolerant) parse it.

#include <cstdint>

#include "metadata/exif_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (bool tolerant : {false, true}) {
        ExifInfo info;
        if (!(tolerant ? info.LoadTolerant(data, size) : info.Load(data, size)))
            continue;
        std::int64_t time = 0;
        double latitude = 0, longitude = 0;
        std::uint16_t orientation = 0;
        info.GetCaptureTime(&time);
        info.GetGpsPosition(&latitude, &longitude);
        info.GetOrientation(&orientation);
        info.GetDateTimeOriginalText();
        info.GetDateTimeText();
    }
    return 0;
}
