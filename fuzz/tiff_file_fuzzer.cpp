// A TIFF-structured file read page by page, as the program reads TIFF and raw files.

#include <cstdint>
#include <memory>

#include "metadata/memory_file_reader.h"
#include "metadata/exif_byte_source.h"
#include "metadata/exif_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ExifInfo info;
    auto source = std::make_unique<PagedFileByteSource>(std::make_unique<MemoryFileReader>(data, size));
    if (info.LoadTolerant(std::move(source))) {
        std::int64_t time = 0;
        std::uint16_t orientation = 0;
        double latitude = 0, longitude = 0;
        info.GetCaptureTime(&time);
        info.GetOrientation(&orientation);
        info.GetGpsPosition(&latitude, &longitude);
    }
    return 0;
}
