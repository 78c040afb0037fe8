#include "organize/organize_settings.h"

#include "base/settings_store.h"
#include "organize/date_folder_format.h"

OrganizeSettings g_OrganizeSettings;

OrganizeSettings::OrganizeSettings()
    : MovieList(L"COMPARE_EXT_INFO", kBuiltInMovieExtensions),
      PhotoList(L"COMPARE_EXT_INFO_PIC", kBuiltInPhotoExtensions),
      SoundList(L"COMPARE_EXT_INFO_SND", kBuiltInSoundExtensions)
{
}

void OrganizeSettings::Load()
{
    MovieList.Load();
    PhotoList.Load();
    SoundList.Load();
    ArrangePhoto = g_SettingsStore.GetInt(kAppSettingsSection, L"arrnge_photo", 1);
    ArrangeMovie = g_SettingsStore.GetInt(kAppSettingsSection, L"arrnge_movie", 0);
    ArrangeSound = g_SettingsStore.GetInt(kAppSettingsSection, L"arrnge_sound", 0);
    ArrangeEtc = g_SettingsStore.GetInt(kAppSettingsSection, L"arrnge_etc", 0);
    MovieDateFromFile = g_SettingsStore.GetInt(kAppSettingsSection, L"MovieDateFromFile", 1) != 0 ? 1 : 0;
    DateFromFileName = g_SettingsStore.GetInt(kAppSettingsSection, L"DateFromFileName", 1) != 0 ? 1 : 0;
    KeepGroupsTogether = g_SettingsStore.GetInt(kAppSettingsSection, L"KeepGroupsTogether", 1) != 0 ? 1 : 0;
    // A hand-edited number outside the table is the default layout, on screen and on disk.
    OutputFormatType = NormalizedFormatIndex(g_SettingsStore.GetInt(kAppSettingsSection, L"OutputFormatType", kDefaultDateFolderFormat));
}

void OrganizeSettings::SetRunValues(std::int32_t outputFormat, bool makeAlbum, bool albumIncludesNoPreview)
{
    OutputFormatType = NormalizedFormatIndex(outputFormat);
    MakePhotoHtml = makeAlbum ? 1 : 0;
    MakePhotoHtmlIncludeNoPreview = albumIncludesNoPreview ? 1 : 0;
}

bool OrganizeSettings::ShouldOrganize(const std::wstring& extension) const
{
    const struct {
        std::int32_t on;
        const ExtensionList& list;
    } kinds[] = {{ArrangePhoto, PhotoList}, {ArrangeMovie, MovieList}, {ArrangeSound, SoundList}};

    bool listed = false;  // held by a consulted list, with its switch off
    for (const auto& kind : kinds) {
        if (!kind.on)
            continue;
        ExtensionEntry entry;
        if (kind.list.Find(extension, &entry)) {
            if (entry.enabled == 1)
                return true;
            listed = true;
        }
    }
    // Unknown extensions: those no consulted list holds.
    return ArrangeEtc && !listed;
}
