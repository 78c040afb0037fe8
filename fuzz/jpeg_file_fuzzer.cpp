// A JPEG file's head: the marker walk, then the Exif segment through the tolerant reader.

#include <cstdint>
#include <vector>

#include "metadata/memory_file_reader.h"
#include "metadata/exif_info.h"
#include "metadata/jpeg_exif_locator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFileReader file(data, size);
    std::vector<std::uint8_t> segment;
    if (!LocateJpegExif(file, &segment))
        return 0;
    ExifInfo info;
    if (info.LoadTolerant(segment.data(), segment.size())) {
        std::uint16_t orientation = 0;
        double latitude = 0, longitude = 0;
        info.GetOrientation(&orientation);
        info.GetGpsPosition(&latitude, &longitude);
        info.GetDateTimeOriginalText();
    }
    return 0;
}
