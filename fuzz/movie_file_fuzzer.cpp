// A whole movie file: the walk over its boxes to the creation time of its movie header, the
// plausibility test of what it finds, and what its first bytes say it is.

#include <cstdint>

#include "metadata/file_kind.h"
#include "metadata/memory_file_reader.h"
#include "metadata/movie_time_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFileReader file(data, size);
    if (const auto created = ReadMovieCreationTime(file))
        PlausibleMovieTime(*created, 1796000000);
    SniffFileKind({data, size});
    return 0;
}
