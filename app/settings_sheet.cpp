#include "app/settings_sheet.h"

#include "app/extensions_page.h"
#include "app/kinds_page.h"
#include "app/version_page.h"
#include "organize/organize_settings.h"
#include "ui/prop_sheet_builder.h"

namespace {

constexpr wchar_t kExtensionLabel[] = L"比較の対象とする拡張子";

}  // namespace

INT_PTR ShowSettingsSheet(HWND owner)
{
    KindsPage kinds(&g_OrganizeSettings);
    ExtensionsPage photos(&g_OrganizeSettings.PhotoList, kExtensionLabel);
    ExtensionsPage movies(&g_OrganizeSettings.MovieList, kExtensionLabel);
    ExtensionsPage sounds(&g_OrganizeSettings.SoundList, kExtensionLabel);
    VersionPage version;
    PropSheetBuilder sheet;
    sheet.AddPage(&kinds, L"アプリ設定");
    sheet.AddPage(&photos, L"写真拡張子");
    sheet.AddPage(&movies, L"動画拡張子");
    sheet.AddPage(&sounds, L"音声拡張子");
    sheet.AddPage(&version, L"バージョン情報");
    const INT_PTR result = sheet.Run(owner, L"アプリ設定");
    if (result == 1) {
        g_OrganizeSettings.MovieList.Save();
        g_OrganizeSettings.PhotoList.Save();
        g_OrganizeSettings.SoundList.Save();
    }
    return result;
}

INT_PTR ShowVersionSheet(HWND owner)
{
    VersionPage version;
    PropSheetBuilder sheet;
    sheet.AddPage(&version, L"バージョン情報");
    return sheet.Run(owner, L"バージョン情報");
}
