#include "album/album_build.h"

#include <windows.h>

#include "album/album_media_tree.h"
#include "album/album_settings.h"
#include "album/thumbnail_files.h"
#include "base/file_removal.h"
#include "base/logfile.h"

AlbumBuildResult BuildPhotoAlbum(ProgressSink_CL& progress, const std::wstring& outputFolder, bool includeNoPreview,
                                 const std::wstring& templateFolder, const CaptureDateRules& dateRules,
                                 int thumbnailWorkers)
{
    g_Log.Write(L"写真一覧HTMLの生成(START)");
    progress.Reset();
    progress.SetCaption(L"写真一覧の生成中");
    AlbumSettings settings(&progress, outputFolder, templateFolder);
    AlbumWrites& writes = *settings.writes;
    // The cache folder is made fit first: the lists in it say which files of the old album
    // may stay.
    const std::wstring cacheFolder = ThumbnailCache_CL::PrepareFolder(outputFolder);
    ThumbnailCache_CL cache(cacheFolder, &writes);
    settings.thumbnailCache = &cache;
    ThumbnailFiles_CL thumbnailFiles(cacheFolder, settings.albumFolder);
    settings.thumbnailFiles = &thumbnailFiles;

    // The album is made anew, but the thumbnail files of the last build that no one touched
    // stay until it is known whether they still show the same pictures.
    if (GetFileAttributesW(settings.albumFolder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::wstring failedPath;
        const StatusCode deleted = ClearFolderTree(
            settings.albumFolder,
            [&](const std::wstring& path, const WIN32_FIND_DATAW& found) { return thumbnailFiles.IsUntouched(path, found); },
            &failedPath);
        if (deleted != kStatusOk) {
            g_Log.Write(L"PhotoAlbumフォルダの削除に失敗しました。");
            return AlbumBuildResult{deleted, failedPath};
        }
    }
    ScannedFacts_CL scannedFacts(cacheFolder);
    AlbumMediaTree tree;
    tree.dateRules = dateRules;
    tree.scannedFacts = &scannedFacts;
    tree.Scan(outputFolder, includeNoPreview ? 1 : 0, &progress, thumbnailWorkers);
    progress.Reset();
    MakeAlbumThumbnails(tree, settings, cache, thumbnailWorkers);
    progress.Reset();
    tree.SortYears();
    WriteAlbumThumbnails(tree, settings, thumbnailWorkers);
    thumbnailFiles.RemoveUnclaimed();
    // The lists kept beside the cache's entries are written after it is cleared of the unused.
    cache.RemoveUnused();
    if (cache.Usable() && cache.MakeFolder()) {
        writes.Check(scannedFacts.Save(), scannedFacts.ListPath());
        writes.Check(thumbnailFiles.Save(), thumbnailFiles.ListPath());
    }
    tree.WriteAlbum(settings);
    if (writes.Failed())
        return AlbumBuildResult{writes.Status(), writes.FailedPath()};
    g_Log.Write(L"写真一覧HTMLの生成(END)");
    return AlbumBuildResult{};
}

void BuildAlbumAfterRun(ProgressSink_CL& progress, const std::wstring& outputFolder, bool makeAlbum,
                        bool includeNoPreview, OrganizeResult* result, const CaptureDateRules& dateRules)
{
    if (!makeAlbum || result->Failed() || result->stopped)
        return;
    const AlbumBuildResult built = BuildPhotoAlbum(progress, outputFolder, includeNoPreview, L"", dateRules);
    if (built.Failed()) {
        result->status = built.status;
        result->failedStage = OrganizeResult::kAlbum;
        result->failedAlbumPath = built.failedPath;
    }
}
