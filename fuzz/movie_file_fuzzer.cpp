// A whole movie file: the walk over its boxes to the creation time of its movie header and the
// frame size of its first video track, the plausibility test of what it finds, and what its
// first bytes say it is.

#include <cstdint>
#include <cstdlib>

#include "metadata/file_kind.h"
#include "metadata/memory_file_reader.h"
#include "metadata/movie_time_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFileReader file(data, size);
    const MovieHeaders headers = ReadMovieHeaders(file);
    if (headers.created)
        PlausibleMovieTime(*headers.created, 1796000000);
    if (headers.frameSize && (headers.frameSize->first == 0 || headers.frameSize->second == 0))
        std::abort();
    SniffFileKind({data, size});
    return 0;
}
