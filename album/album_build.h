#pragma once
// The HTML album of an output folder: its "PhotoAlbum" folder made anew from the template,
// the scanned media and the pages and thumbnails written from them.

#include <string>

#include "album/album_thumbnails.h"
#include "base/progress_sink.h"
#include "base/status_code.h"
#include "organize/capture_date.h"

// What a build came to: success, or the first file or folder it could not clear or write,
// and why, or the codec it could not find (MissingCodecLibrary), before it touched anything.
struct AlbumBuildResult {
    StatusCode status = kStatusOk;
    std::wstring failedPath;
    std::wstring missingCodec;

    bool Failed() const { return status != kStatusOk; }
};

// Rebuilds output folder + "\PhotoAlbum". includeNoPreview: files without a preview (kind
// Other) are listed too. templateFolder: the album's fixed files; the one beside the
// executable unless given. dateRules: how files are dated, as the run dated them.
// thumbnailWorkers: the threads that make thumbnails (the album comes out the same with any
// number). The thumbnails of unchanged pictures come from "PhotoAlbum.cache" beside the
// album. Every write counts: a build that could not write one of its files fails, and
// writes no index page. Without its codecs it fails at once and leaves the last album as it
// was.
AlbumBuildResult BuildPhotoAlbum(ProgressSink& progress, const std::wstring& outputFolder, bool includeNoPreview,
                                 const std::wstring& templateFolder = L"", const CaptureDateRules& dateRules = {},
                                 int thumbnailWorkers = DefaultThumbnailWorkers());
