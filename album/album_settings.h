#pragma once
// Everything the album's writers need besides the scanned tree: where the album goes, where
// its template comes from, the fixed texts of the pages, the thumbnail box and quality, the
// map service, and the run's progress. Filled once per build; nothing in it is the user's to
// set. It also writes the frame every page shares.

#include <cstdint>
#include <memory>
#include <string>

#include "album/album_writes.h"
#include "base/progress_sink.h"

class ThumbnailCache_CL;
class ThumbnailFiles_CL;

// The web page the album's footer links to, and the map service its map links open.
inline constexpr wchar_t kProductWebPage[] = L"https://kasumiro.jp/Lumidex/";
inline constexpr wchar_t kMapServiceAddress[] = L"https://maps.google.co.jp/";

struct AlbumSettings {
    // The template folder beside the executable unless given.
    AlbumSettings(ProgressSink_CL* progress, const std::wstring& outputFolder, std::wstring templateFolder = L"");

    // The page head and the header band; root leads from the page to the album folder.
    void WritePageHeader(std::wstring& page, const std::wstring& pageTitle, const std::wstring& root) const;
    // The footer band and the closing tags.
    void WritePageFooter(std::wstring& page) const;

    ProgressSink_CL* progress;  // may be null: the writers then report no progress
    // What the build's writes came to: the writers tell it every write's outcome.
    std::shared_ptr<AlbumWrites> writes = std::make_shared<AlbumWrites>();
    ThumbnailCache_CL* thumbnailCache = nullptr;  // where the thumbnail pass left its work
    ThumbnailFiles_CL* thumbnailFiles = nullptr;  // the thumbnail files the last build left
    std::wstring outputFolder;
    std::wstring albumFolder;     // output folder + "\PhotoAlbum"
    std::wstring templateFolder;  // the executable's folder + "\Template\0001"
    std::int32_t mapService = 1;
    std::wstring indexFileName = L"index.html";
    std::wstring title = L"写真一覧";
    std::wstring heading = L"<h1>写真一覧</h1>";
    std::wstring footerText;
    std::int32_t thumbnailWidth = 320;
    std::int32_t thumbnailHeight = 240;
    std::int32_t thumbnailQuality = 80;
};
