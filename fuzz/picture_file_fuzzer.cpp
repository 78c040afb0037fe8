// A whole PNG, WebP or CR3 file read as the organizer reads any file: its format told by its
// bytes, then the chunk or box walk to its Exif, the Exif reader, and a PNG's XMP date.

#include <cstdint>
#include <memory>
#include <string>

#include "metadata/image_facts.h"
#include "metadata/memory_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ImageFacts facts;
    std::string error;
    ReadImageFacts(std::make_unique<MemoryFileReader>(data, size), L"", &facts, &error);
    return 0;
}
