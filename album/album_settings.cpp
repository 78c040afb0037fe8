#include "album/album_settings.h"

#include "base/paths.h"
#include "base/version.h"
#include "organize/output_names.h"

AlbumSettings::AlbumSettings(ProgressSink_CL* progressSink, const std::wstring& output, std::wstring templates)
    : progress(progressSink),
      outputFolder(output),
      albumFolder(output + L"\\" + kAlbumFolderName),
      templateFolder(templates.empty() ? GetExeFolder() + L"\\Template\\0001" : std::move(templates))
{
}

void AlbumSettings::WritePageHeader(std::wstring& page, const std::wstring& pageTitle, const std::wstring& root) const
{
    page += L"<!DOCTYPE html>\n";
    page += L"<html>\n";
    page += L"<head>\n";
    page += L"<meta charset=\"UTF-8\" />\n";
    page += L"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n";
    page += L"<title>" + pageTitle + L"</title>\n";
    page += L"<link href=\"" + root + L"/make_photo_album.css\" rel=\"stylesheet\" type=\"text/css\" />\n";
    page += L"</head>\n";
    page += L"<body>\n";
    page += L"<div class=\"header\">\n";
    page += L"<div class=\"frame\">\n";
    page += heading;
    page += L"</div>\n";
    page += L"</div>\n";
    page += L"<div class=\"main_frame\">\n";
}

void AlbumSettings::WritePageFooter(std::wstring& page) const
{
    page += L"</div>\n";
    page += L"<div class=\"footer\">\n";
    page += L"<div class=\"frame\">\n";
    page += footerText;
    page += L"\n<h1 class='favlink'>";
    page += L"<a href='" + std::wstring(kProductWebPage) + L"'>";
    page += kProductName;
    page += L"</a>";
    page += L"</h1>\n";
    page += L"</div>\n";
    page += L"</div>\n";
    page += L"</body>\n";
    page += L"</html>\n";
}
