// A movie file as the album's posters take it: FFmpeg's demuxers and decoders reading through
// our reader, as our code calls them, then the frame fitted into the thumbnail's box and
// turned upright; and the length a poster's JPEG keeps, written and read back. The libraries
// themselves are built without the sanitizers; what our code adds around them runs under them.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "album/movie_poster.h"
#include "album/picture_pixels.h"
#include "metadata/memory_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFileReader file(data, size);
    MovieFrame frame;
    if (!DecodeMoviePosterFrame(file, &frame))
        return 0;
    const BgrPicture& stored = frame.decoded.pixels;
    const FittedSize fitted = FittedStoredSize(static_cast<std::int32_t>(stored.width),
                                               static_cast<std::int32_t>(stored.height), frame.orientation, 320, 240);
    if (fitted.width <= 0 || fitted.height <= 0)
        return 0;
    const BgrPicture upright = TurnUpright(
        ResizeTo(stored, static_cast<std::uint32_t>(fitted.width), static_cast<std::uint32_t>(fitted.height)),
        frame.orientation);
    std::vector<std::uint8_t> jpeg{0xFF, 0xD8, 0xFF, 0xD9};
    AddMovieLength(&jpeg, frame.lengthMs);
    if (MovieLengthOf(jpeg) != (frame.lengthMs < 0 ? 0 : frame.lengthMs))
        std::abort();
    return 0;
}
