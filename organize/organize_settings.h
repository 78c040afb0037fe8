#pragma once
// What an organize run takes: the three extension lists, the four kind switches, the folder
// layout and the album switches. One process-wide record.

#include <cstdint>
#include <string>

#include "organize/capture_date.h"
#include "organize/extension_list.h"

class OrganizeSettings {
public:
    OrganizeSettings();

    // Loads the lists (movies, photos, sounds) and the kind switches and layout from the
    // settings store.
    void Load();
    // True when a file with this extension (from the last "." of its full path) is wanted.
    bool ShouldOrganize(const std::wstring& extension) const;
    // The values a run takes from the user's choices of the moment.
    void SetRunValues(std::int32_t outputFormat, bool makeAlbum, bool albumIncludesNoPreview);
    // How files are dated, from the switches below.
    CaptureDateRules DateRules() const { return CaptureDateRules{MovieDateFromFile != 0, DateFromFileName != 0}; }

    ExtensionList MovieList;
    ExtensionList PhotoList;
    ExtensionList SoundList;
    std::int32_t OutputFormatType = 3;
    std::int32_t MakePhotoHtml = 1;
    std::int32_t MakePhotoHtmlIncludeNoPreview = 1;
    std::int32_t ArrangePhoto = 0;
    std::int32_t ArrangeMovie = 0;
    std::int32_t ArrangeSound = 0;
    std::int32_t ArrangeEtc = 0;
    // A movie is dated by the filming time it keeps in itself, not by its last-write time.
    std::int32_t MovieDateFromFile = 1;
    // A file with no date inside is dated by the date its name carries, when it has one.
    std::int32_t DateFromFileName = 1;
    // Files that belong together (a Live Photo, RAW+JPEG, a picture and its sidecars) are
    // organized together: one day, one counter, sidecars with their picture.
    std::int32_t KeepGroupsTogether = 1;
};

// The process-wide record: loaded by the main window (or the console program), handed to the
// engine by value or reference; the engine itself never reads it.
extern OrganizeSettings g_OrganizeSettings;
