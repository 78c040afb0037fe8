// The day blocks of a month page: the heading, and one item per file with its thumbnail,
// player, link for files without a preview, and map link.

#include <algorithm>
#include <cwchar>

#include "album/album_media_tree.h"
#include "album/album_thumbnails.h"
#include "album/album_text.h"
#include "album/image_operations.h"
#include "base/path_text.h"

namespace {

// The file's path below the output folder, with forward slashes (2021/03/IMG_0042.JPG).
std::wstring RelativePath(const std::wstring& path, const std::wstring& outputFolder)
{
    std::wstring relative = path.compare(0, outputFolder.size(), outputFolder) == 0 ? path.substr(outputFolder.size()) : path;
    if (!relative.empty() && relative.front() == L'\\')
        relative.erase(0, 1);
    std::replace(relative.begin(), relative.end(), L'\\', L'/');
    return relative;
}

std::wstring MapQuery(const AlbumSettings& settings, const AlbumFile& file)
{
    wchar_t query[260];
    std::swprintf(query, 260, L"&map=%d&lat=%lf&lon=%lf", settings.mapService, file.latitude, file.longitude);
    return query;
}

std::wstring MapLink(const AlbumFile& file)
{
    wchar_t address[512];
    std::swprintf(address, 512, L"%lsmaps?f=q&hl=ja&ie=UTF8&q=loc:%lf,%lf&z=19&iwloc=A", kMapServiceAddress,
                  file.latitude, file.longitude);
    return L"<a href='" + std::wstring(address) +
           L"' class='picture_list_gps_link' target='_blank' title='撮影場所'><img src='../gps.png' class='gps_mark "
           L"picture_list_gps' alt='地図'/></a>";
}

}  // namespace

void AlbumDay::WriteItems(const AlbumSettings& settings, std::int32_t year, std::int32_t month, std::wstring& page)
{
    SortFiles();
    // The heading is the day's own date: a day the calendar lacks (30 February) keeps it.
    wchar_t heading[260];
    std::swprintf(heading, 260, L"%04d年%02d月%02d日", year, month, day);
    page += L"<div class='photo_list'>\n";
    page += L"<div class='year_item'>" + std::wstring(heading) + L"</div>\n";

    wchar_t yearText[260];
    std::swprintf(yearText, 260, L"%04d", year);
    bool thumbFolderMade = false;
    for (std::size_t n = 0; n < files.size(); ++n) {
        AlbumFile& file = files[n];
        wchar_t thumbName[260];
        std::swprintf(thumbName, 260, L"%04d%02d%02d_%d", year, month, day, static_cast<int>(n));
        const std::wstring relative = L"../" + RelativePath(file.path, settings.outputFolder);

        if (file.kind == AlbumFileKind::kPicture) {
            // Written already on the workers, when the build went that way.
            if (!file.thumbnailWritten) {
                thumbFolderMade = thumbFolderMade || settings.writes->MakeFolder(ThumbnailFolder(settings, year));
                WriteThumbnail(settings, file, ThumbnailPath(settings, year, month, day, n));
            }
            std::wstring link = L"../picture.html?img=" + UrlEscape(relative, true);
            if (file.gps)
                link += MapQuery(settings, file);
            page += L"<span class='picture_item_wrap'>";
            page += L"<a href='" + link + L"'>";
            page += L"<img class='picture_item' src='../thumb/" + std::wstring(yearText) + L"/" + thumbName + L".jpg' />";
            page += L"</a>";
            if (file.gps)
                page += MapLink(file);
            page += L"</span>\n";
        } else if (file.kind == AlbumFileKind::kAudio) {
            page += L"<div class='picture_item_audio'>";
            page += L"<img src='../img_audio.png' />";
            page += L"<audio src='../" + UrlEscape(relative, true) + L"' controls></audio>";
            page += L"</div>\n";
        } else if (file.kind == AlbumFileKind::kVideo) {
            page += L"<div class='picture_item_video'>";
            page += L"<video src='../" + UrlEscape(relative, true) + L"' controls></video>";
            page += L"</div>\n";
        } else {
            const std::wstring name = NameOfPath(file.path);
            std::wstring link = L"../unknown.html?file=" + UrlEscape(relative) + L"&name=" + UrlEscape(name);
            if (file.gps)
                link += MapQuery(settings, file);
            page += L"<span class='picture_item_wrap'>";
            page += L"<a href='" + link + L"'>";
            page += L"<div class='picture_item_unknown_frame'>" + HtmlEscape(name) + L"</div>";
            page += L"</a>";
            if (file.gps)
                page += MapLink(file);
            page += L"</span>\n";
        }
        if (settings.progress)
            settings.progress->AddProgress(1);
    }
    page += L"</div>\n";
}
