#include "album/whole_decodes.h"

#include <semaphore>

#include "album/album_limits.h"

namespace {

std::counting_semaphore<picture_limits::kMaxWholeDecodesAtOnce> g_wholeDecodes(picture_limits::kMaxWholeDecodesAtOnce);

}  // namespace

WholeDecodeTurn::WholeDecodeTurn()
{
    g_wholeDecodes.acquire();
}

WholeDecodeTurn::~WholeDecodeTurn()
{
    g_wholeDecodes.release();
}
