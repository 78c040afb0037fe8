#include "album/album_build.h"

#include <windows.h>

#include "album/album_media_tree.h"
#include "album/album_settings.h"
#include "album/thumbnail_files.h"
#include "base/logfile.h"
#include "organize/folder_utils.h"

StatusCode BuildPhotoAlbum(ProgressSink_CL& progress, const std::wstring& outputFolder, bool includeNoPreview,
                           const std::wstring& templateFolder, const CaptureDateRules& dateRules,
                           int thumbnailWorkers)
{
    g_Log.Write(L"写真一覧HTMLの生成(START)");
    progress.Reset();
    progress.SetCaption(L"写真一覧の生成中");
    AlbumSettings settings(&progress, outputFolder, templateFolder);
    ThumbnailCache_CL cache(outputFolder);
    settings.thumbnailCache = &cache;
    ThumbnailFiles_CL thumbnailFiles(cache.Folder(), settings.albumFolder);
    settings.thumbnailFiles = &thumbnailFiles;

    // The album is made anew, but the thumbnail files of the last build that no one touched
    // stay until it is known whether they still show the same pictures.
    if (GetFileAttributesW(settings.albumFolder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const StatusCode deleted = ClearFolderTree(settings.albumFolder, [&](const std::wstring& path, const WIN32_FIND_DATAW& found) {
            return thumbnailFiles.IsUntouched(path, found);
        });
        if (deleted != kStatusOk) {
            g_Log.Write(L"PhotoAlbumフォルダの削除に失敗しました。");
            return deleted;
        }
    }
    ScannedFacts_CL scannedFacts(cache.Folder());
    AlbumMediaTree tree;
    tree.dateRules = dateRules;
    tree.scannedFacts = &scannedFacts;
    tree.Scan(outputFolder, includeNoPreview ? 1 : 0, &progress, thumbnailWorkers);
    progress.Reset();
    MakeAlbumThumbnails(tree, settings, cache, thumbnailWorkers);
    progress.Reset();
    tree.SortYears();
    WriteAlbumThumbnails(tree, settings, thumbnailWorkers);
    tree.WriteAlbum(settings);
    thumbnailFiles.RemoveUnclaimed();
    // The lists kept beside the cache's entries are written after it is cleared of the unused.
    cache.RemoveUnused();
    cache.MakeFolder();
    scannedFacts.Save();
    thumbnailFiles.Save();
    g_Log.Write(L"写真一覧HTMLの生成(END)");
    return kStatusOk;
}

void BuildAlbumAfterRun(ProgressSink_CL& progress, const std::wstring& outputFolder, bool makeAlbum,
                        bool includeNoPreview, OrganizeResult* result, const CaptureDateRules& dateRules)
{
    if (!makeAlbum || result->Failed() || result->stopped)
        return;
    const StatusCode built = BuildPhotoAlbum(progress, outputFolder, includeNoPreview, L"", dateRules);
    if (built != kStatusOk) {
        result->status = built;
        result->failedStage = OrganizeResult::kAlbum;
    }
}
