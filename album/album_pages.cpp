#include "album/album_pages.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "album/album_file_facts.h"
#include "album/album_text.h"
#include "album/album_thumbnails.h"
#include "base/json_text.h"
#include "base/log_file.h"
#include "base/path_text.h"
#include "base/text_encoding.h"
#include "base/version.h"

namespace {

// The fixed texts of every page, the web page the footer links to and the map service the
// map links open.
constexpr wchar_t kTitle[] = L"写真一覧";
constexpr wchar_t kHeading[] = L"<h1>写真一覧</h1>";
constexpr wchar_t kIndexFileName[] = L"index.html";
// A thumbnail is loaded as the page is scrolled to it, in a box of its size from the start: a
// month of thousands opens at once and does not jump.
const std::wstring kThumbnailLoading = L" width='" + std::to_wstring(kThumbnailWidth) + L"' height='" +
                                       std::to_wstring(kThumbnailHeight) + L"' loading='lazy' decoding='async'";
// Beside each month page: its pictures, for the viewer to page through.
constexpr wchar_t kPictureListSuffix[] = L".pictures.js";
constexpr wchar_t kMapServiceAddress[] = L"https://maps.google.co.jp/";
// The map service the viewer pages are told to open (their "map" value).
constexpr int kMapService = 1;

// The page head and the header band; root leads from the page to the album folder. A month
// page has its script, which plays a movie where its poster was pressed.
void WritePageHeader(std::wstring& page, const std::wstring& pageTitle, const std::wstring& root,
                     bool monthScript = false)
{
    page += L"<!DOCTYPE html>\n";
    page += L"<html lang=\"ja\">\n";
    page += L"<head>\n";
    page += L"<meta charset=\"UTF-8\" />\n";
    page += L"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n";
    page += L"<title>" + pageTitle + L"</title>\n";
    page += L"<link href=\"" + root + L"/make_photo_album.css\" rel=\"stylesheet\" type=\"text/css\" />\n";
    if (monthScript)
        page += L"<script src=\"" + root + L"/album_month.js\" defer></script>\n";
    page += L"</head>\n";
    page += L"<body>\n";
    page += L"<div class=\"header\">\n";
    page += L"<div class=\"frame\">\n";
    page += kHeading;
    page += L"</div>\n";
    page += L"</div>\n";
    page += L"<div class=\"main_frame\">\n";
}

// The footer band and the closing tags.
void WritePageFooter(std::wstring& page)
{
    page += L"</div>\n";
    page += L"<div class=\"footer\">\n";
    page += L"<div class=\"frame\">\n";
    page += L"\n<h1 class='favlink'>";
    page += L"<a href='" + std::wstring(kProductPageAddress) + L"'>";
    page += kProductName;
    page += L"</a>";
    page += L"</h1>\n";
    page += L"</div>\n";
    page += L"</div>\n";
    page += L"</body>\n";
    page += L"</html>\n";
}

// The file's path below the output folder, with forward slashes (2021/03/IMG_0042.JPG).
std::wstring RelativePath(const std::wstring& path, const std::wstring& outputFolder)
{
    std::wstring relative = path.compare(0, outputFolder.size(), outputFolder) == 0 ? path.substr(outputFolder.size()) : path;
    if (!relative.empty() && relative.front() == L'\\')
        relative.erase(0, 1);
    std::replace(relative.begin(), relative.end(), L'\\', L'/');
    return relative;
}

std::wstring MapQuery(const AlbumFile& file)
{
    wchar_t query[260];
    std::swprintf(query, 260, L"&map=%d&lat=%lf&lon=%lf", kMapService, file.latitude, file.longitude);
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

// A movie's length as a player shows it: "0:42", "12:05", "1:02:03"; a part of a second
// counts as one, so that no clip is "0:00".
std::wstring LengthText(std::int64_t lengthMs)
{
    const std::int64_t seconds = (std::max<std::int64_t>(lengthMs, 0) + 999) / 1000;
    wchar_t text[32];
    if (seconds >= 3600)
        std::swprintf(text, 32, L"%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::swprintf(text, 32, L"%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    return text;
}

// Adds the item to the lists the viewer pages through (its query and its facts), and gives
// the query's tail that names its page and place there.
std::wstring AddToViewerList(const std::wstring& query, const AlbumFile& file, std::int32_t year, std::int32_t month,
                             std::vector<std::wstring>* queries, std::vector<std::wstring>* facts)
{
    wchar_t place[64];
    std::swprintf(place, 64, L"&page=%04d/%04d%02d&at=%zu", year, year, month, queries->size());
    queries->push_back(query);
    facts->push_back(ViewerFactsJson(file));
    return place;
}

// A movie's tile: its poster, play mark and length inside `link` (an opening <a> tag), and its
// map link when it has a position.
std::wstring PosterTile(const std::wstring& link, const std::wstring& poster, const AlbumFile& file)
{
    std::wstring tile = L"<span class='picture_item_wrap movie_item'>" + link;
    tile += L"<img class='picture_item' src='../" + poster + L"'" + kThumbnailLoading + L" alt='" +
            HtmlEscape(NameOfPath(file.path)) + L"' />";
    tile += L"<span class='movie_play' aria-hidden='true'></span>";
    tile += L"<span class='movie_length'>" + LengthText(file.movieLengthMs) + L"</span>";
    tile += L"</a>";
    if (file.hasPosition)
        tile += MapLink(file);
    return tile + L"</span>\n";
}

// The link of a file the album cannot show: the page that names it and offers it to be opened.
std::wstring FileLink(const AlbumFile& file, const std::wstring& relative)
{
    std::wstring link = L"../unknown.html?file=" + UrlEscape(relative) + L"&name=" + UrlEscape(NameOfPath(file.path));
    if (file.hasPosition)
        link += MapQuery(file);
    return link;
}

// The day's block of its month page: the heading, and one item per file with its thumbnail
// (a movie's poster, a Live Photo's mark), player, link for files without a preview, and map
// link.
// pictureQueries: the viewer's query of each picture and movie of the month, in the page's
// order, for the viewer's paging, and pictureFacts what the viewer tells of each beside it;
// this day's are added.
void WriteDayBlock(const AlbumDay& day, std::int32_t year, std::int32_t month, const AlbumBuildContext& context,
                   std::wstring& page, std::vector<std::wstring>& pictureQueries, std::vector<std::wstring>& pictureFacts)
{
    // The heading is the day's own date: a day the calendar lacks (30 February) keeps it.
    wchar_t heading[64];
    std::swprintf(heading, 64, L"%04d年%02d月%02d日", year, month, day.day);
    page += L"<div class='photo_list'>\n";
    page += L"<div class='year_item'>" + std::wstring(heading) + L"</div>\n";
    for (std::size_t n = 0; n < day.files.size(); ++n) {
        const AlbumFile& file = day.files[n];
        const std::wstring relative = L"../" + RelativePath(file.path, context.outputFolder);
        if (file.kind == AlbumFileKind::kPicture) {
            std::wstring query = L"img=" + UrlEscape(relative, true);
            // What a browser cannot show, the viewer shows as the album's own JPEG of it.
            if (file.viewAsJpeg)
                query += L"&view=" + UrlEscape(ThumbnailAddress(year, month, day.day, n, true), true);
            // A Live Photo's movie, which the viewer plays over the photo when it is pressed.
            const bool live = !file.liveMovie.empty();
            if (live)
                query += L"&live=" + UrlEscape(L"../" + RelativePath(file.liveMovie, context.outputFolder), true);
            if (file.hasPosition)
                query += MapQuery(file);
            const std::wstring place = AddToViewerList(query, file, year, month, &pictureQueries, &pictureFacts);
            page += live ? L"<span class='picture_item_wrap live_item'>" : L"<span class='picture_item_wrap'>";
            page += L"<a href='../picture.html?" + query + place + L"'>";
            page += L"<img class='picture_item' src='../" + ThumbnailAddress(year, month, day.day, n) + L"'" +
                    kThumbnailLoading + L" alt='" + HtmlEscape(NameOfPath(file.path)) + L"' />";
            if (live)
                page += L"<span class='live_mark'>LIVE</span>";
            page += L"</a>";
            if (file.hasPosition)
                page += MapLink(file);
            page += L"</span>\n";
        } else if (file.kind == AlbumFileKind::kAudio) {
            page += L"<div class='picture_item_audio'>";
            page += L"<img src='../img_audio.png' alt='' />";
            page += L"<audio src='../" + UrlEscape(relative, true) + L"' controls></audio>";
            page += L"</div>\n";
        } else if (file.kind == AlbumFileKind::kVideo && file.hasPoster && !BrowserPlaysMovie(file.path)) {
            // A camcorder's movie that browsers do not play: its poster and length, and a press
            // offers the file itself to a program that plays it.
            page += PosterTile(L"<a class='movie_file' href='" + FileLink(file, relative) + L"'>",
                               ThumbnailAddress(year, month, day.day, n), file);
        } else if (file.kind == AlbumFileKind::kVideo && file.hasPoster) {
            // The poster, its play mark and length; the player is made only when it is pressed
            // (the month page's script), or the viewer opens with it.
            const std::wstring poster = ThumbnailAddress(year, month, day.day, n);
            const std::wstring query = L"movie=" + UrlEscape(relative, true) + L"&poster=" + UrlEscape(poster, true);
            const std::wstring place = AddToViewerList(query, file, year, month, &pictureQueries, &pictureFacts);
            page += PosterTile(L"<a class='movie_link' href='../picture.html?" + query + place + L"' data-movie='../" +
                                   UrlEscape(relative, true) + L"'>",
                               poster, file);
        } else if (file.kind == AlbumFileKind::kVideo) {
            page += L"<div class='picture_item_video'>";
            page += L"<video src='../" + UrlEscape(relative, true) + L"' controls></video>";
            page += L"</div>\n";
        } else {
            const std::wstring name = NameOfPath(file.path);
            page += L"<span class='picture_item_wrap'>";
            page += L"<a href='" + FileLink(file, relative) + L"'>";
            page += L"<div class='picture_item_unknown_frame'>" + HtmlEscape(name) + L"</div>";
            page += L"</a>";
            if (file.hasPosition)
                page += MapLink(file);
            page += L"</span>\n";
        }
        context.Advance(1);
    }
    page += L"</div>\n";
}

// The month's pictures and movies as the viewer pages through them: a script (which a page opened from
// the disk may load where it may not read a file) that only hands over their queries, and what
// the viewer tells of each, in the same order. The viewer takes each query as it takes its own,
// and the facts as texts, as data.
std::wstring PictureListScript(const std::vector<std::wstring>& queries, const std::vector<std::wstring>& facts)
{
    std::wstring script = L"window.albumPictureQueries = [\n";
    for (const std::wstring& query : queries)
        script += JsonString(query) + L",\n";
    script += L"];\nwindow.albumPictureFacts = [\n";
    for (const std::wstring& object : facts)
        script += object + L",\n";
    return script + L"];\n";
}

void WriteMonthPage(const AlbumMonth& month, std::int32_t year, AlbumBuildContext& context)
{
    wchar_t text[64];
    std::swprintf(text, 64, L" - %04d年%02d月", year, month.month);
    std::wstring page;
    WritePageHeader(page, kTitle + std::wstring(text), L"..", true);
    std::vector<std::wstring> pictureQueries;
    std::vector<std::wstring> pictureFacts;
    for (const AlbumDay& day : month.days) {
        if (!day.files.empty())
            WriteDayBlock(day, year, month.month, context, page, pictureQueries, pictureFacts);
    }
    WritePageFooter(page);

    std::swprintf(text, 64, L"%04d", year);
    const std::wstring folder = context.albumFolder + L"\\" + text;
    if (context.writes.Failed() || !context.writes.MakeFolder(folder))
        return;
    std::swprintf(text, 64, L"%04d%02d", year, month.month);
    const std::wstring path = folder + L"\\" + text + L".html";
    context.writes.Check(WriteTextModeFile(path, ToUtf8(page)), path);
    const std::wstring list = folder + L"\\" + text + kPictureListSuffix;
    context.writes.Check(WriteTextFile(list, ToUtf8(PictureListScript(pictureQueries, pictureFacts))), list);
}

// The year's block of the index: its heading and, when it has files, its twelve month items,
// each with files a link to its page.
void WriteYearBlock(const AlbumYear& year, std::wstring& page)
{
    wchar_t text[128];
    std::swprintf(text, 128, L"<div class='year_item'>%d年</div>\n", year.year);
    page += L"<div class='month_list'>\n";
    page += text;
    const bool hasFiles = year.FileCount() > 0;
    for (const AlbumMonth& month : year.months) {
        if (!hasFiles)
            break;
        const int count = month.FileCount();
        if (count > 0) {
            std::swprintf(text, 128, L"<a href='./%04d/%04d%02d.html'>", year.year, year.year, month.month);
            page += text;
        }
        std::swprintf(text, 128, L"<div class='month_item'>%d月<br/>", month.month);
        page += text;
        if (count > 0) {
            std::swprintf(text, 128, L"(%d)", count);
            page += text;
        } else {
            page += L"&nbsp;";
        }
        page += L"</div>";
        if (count > 0)
            page += L"</a>";
        page += L"\n";
    }
    page += L"</div>\n";
}

}  // namespace

void WriteAlbumPages(const AlbumModel& model, AlbumBuildContext& context)
{
    const int count = model.FileCount();
    g_Log.Write(L"写真の枚数         = %d", count);
    context.AddToTotal(static_cast<std::uint64_t>(count));

    std::wstring index;
    WritePageHeader(index, kTitle, L".");
    for (const AlbumYear& year : model.Years()) {
        WriteYearBlock(year, index);
        for (const AlbumMonth& month : year.months) {
            if (month.FileCount() > 0)
                WriteMonthPage(month, year.year, context);
        }
    }
    WritePageFooter(index);
    // The index comes last, and only to an album whose every other file was written: the
    // album that opens is never a broken one.
    if (context.writes.Failed())
        return;
    const std::wstring path = context.albumFolder + L"\\" + kIndexFileName;
    context.writes.Check(WriteTextFile(path, ToUtf8(index)), path);
}
