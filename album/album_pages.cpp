// The index's month items of a year, and the month page files.

#include <cwchar>

#include "album/album_media_tree.h"
#include "album/album_text.h"
#include "base/text_encoding.h"

void AlbumYear::WriteMonthList(const AlbumSettings& settings, std::wstring& page)
{
    int yearCount = 0;
    for (const AlbumMonth& entry : months)
        yearCount += entry.FileCount();
    if (yearCount == 0)
        return;
    for (AlbumMonth& entry : months) {
        const int count = entry.FileCount();
        wchar_t text[260];
        if (count > 0) {
            std::swprintf(text, 260, L"<a href='./%04d/%04d%02d.html'>", year, year, entry.month);
            page += text;
            entry.WritePage(settings, year);
        }
        std::swprintf(text, 260, L"<div class='month_item'>%d月<br/>", entry.month);
        page += text;
        if (count > 0) {
            std::swprintf(text, 260, L"(%d)", count);
            page += text;
        } else {
            page += L"&nbsp;";
        }
        page += L"</div>";
        if (count > 0)
            page += L"</a>";
        page += L"\n";
    }
}

void AlbumMonth::WritePage(const AlbumSettings& settings, std::int32_t year)
{
    wchar_t text[260];
    std::swprintf(text, 260, L" - %04d年%02d月", year, month);
    std::wstring page;
    settings.WritePageHeader(page, settings.title + text, L"..");
    for (AlbumDay& entry : days) {
        if (!entry.files.empty())
            entry.WriteItems(settings, year, month, page);
    }
    settings.WritePageFooter(page);

    std::swprintf(text, 260, L"%04d", year);
    const std::wstring folder = settings.albumFolder + L"\\" + text;
    if (settings.writes->Failed() || !settings.writes->MakeFolder(folder))
        return;
    std::swprintf(text, 260, L"%04d%02d.html", year, month);
    const std::wstring path = folder + L"\\" + text;
    settings.writes->Check(WriteTextModeFile(path, ToUtf8(page)), path);
}
