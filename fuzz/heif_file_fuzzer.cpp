// A whole HEIF file: the box walk to the Exif item and the primary picture's size, then the
// Exif item through the strict reader.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "metadata/exif_info.h"
#include "metadata/heif_exif_locator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    HeifExifLocator reader;
    reader.SetBytes(std::vector<std::uint8_t>(data, data + size));
    std::optional<std::pair<std::uint32_t, std::uint32_t>> primarySize;
    const std::vector<std::uint8_t> item = reader.ExtractExif(&primarySize);
    if (primarySize && (primarySize->first == 0 || primarySize->second == 0))
        std::abort();
    ExifInfo info;
    if (info.Load(item)) {
        std::int64_t time = 0;
        double latitude = 0, longitude = 0;
        info.GetCaptureTime(&time);
        info.GetGpsPosition(&latitude, &longitude);
    }
    return 0;
}
