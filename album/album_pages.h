#pragma once
// The album's pages, written from the model: a page per month with files (a block per day,
// an item per file) and then the index of years and months. UTF-8 without a byte-order mark;
// a month page's lines end in CR LF, the index's in LF. The index is written last, and only
// when every write before it went through.

#include <string>

#include "album/album_build_context.h"
#include "album/album_model.h"

// The month pages and the index; each file of the model advances the progress by one.
void WriteAlbumPages(const AlbumModel& model, AlbumBuildContext& context);
