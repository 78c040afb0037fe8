#include "album/album_build.h"

#include <windows.h>

#include "album/album_build_context.h"
#include "album/album_pages.h"
#include "album/album_scan.h"
#include "album/album_text.h"
#include "album/codec_libraries.h"
#include "album/thumbnail_files.h"
#include "base/file_removal.h"
#include "base/gdiplus_headers.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "organize/folder_utils.h"

namespace {

// The album's fixed files, copied from the template: without a template the album has no
// style sheet, viewer pages or icons, but it is written all the same; a template that is there
// must be copied whole.
void CopyTemplate(AlbumBuildContext& context)
{
    if (context.writes.Failed())
        return;
    if (GetFileAttributesW(ExtendedLengthPath(context.templateFolder).c_str()) == INVALID_FILE_ATTRIBUTES) {
        g_Log.Write(L"写真一覧のテンプレートがありません = %s", context.templateFolder.c_str());
        return;
    }
    std::wstring failedPath;
    const StatusCode copied = CopyFolderTree(context.templateFolder, context.albumFolder, &failedPath);
    if (!context.writes.Check(copied, failedPath))
        return;
    // A volume without named streams (a card in FAT) cannot take the mark: the pages work
    // without it.
    MarkZoneIdentifier(context.albumFolder + L"\\picture.html", 0);
    MarkZoneIdentifier(context.albumFolder + L"\\unknown.html", 0);
}

}  // namespace

AlbumBuildResult BuildPhotoAlbum(ProgressSink& progress, const std::wstring& outputFolder, bool includeNoPreview,
                                 const std::wstring& templateFolder, const CaptureDateRules& dateRules,
                                 int thumbnailWorkers)
{
    g_Log.Write(L"写真一覧HTMLの生成(START)");
    if (const std::wstring& missing = MissingCodecLibrary(); !missing.empty())
        return AlbumBuildResult{StatusFromWin32(ERROR_MOD_NOT_FOUND), L"", missing};
    // The imaging library decodes the pictures no codec of ours does; it is started only for
    // an album, as nothing else draws with it.
    const GdiplusSession imaging;
    progress.Reset();
    progress.SetCaption(L"写真一覧の生成中");
    AlbumBuildContext context(&progress, outputFolder, templateFolder);
    AlbumWrites& writes = context.writes;
    // The cache folder is made fit first: the lists in it say which files of the old album
    // may stay.
    const std::wstring cacheFolder = ThumbnailCache::PrepareFolder(outputFolder);
    ThumbnailCache cache(cacheFolder, &writes);
    context.thumbnailCache = &cache;
    ThumbnailFiles thumbnailFiles(cacheFolder, context.albumFolder);
    context.thumbnailFiles = &thumbnailFiles;

    // The album is made anew, but the thumbnail files of the last build that no one touched
    // stay until it is known whether they still show the same pictures.
    if (GetFileAttributesW(ExtendedLengthPath(context.albumFolder).c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::wstring failedPath;
        const StatusCode deleted = ClearFolderTree(
            context.albumFolder,
            [&](const std::wstring& path, const WIN32_FIND_DATAW& found) { return thumbnailFiles.IsUntouched(path, found); },
            &failedPath);
        if (deleted != kStatusOk) {
            g_Log.Write(L"PhotoAlbumフォルダの削除に失敗しました。");
            return AlbumBuildResult{deleted, failedPath, {}};
        }
    }
    ScannedFacts scannedFacts(cacheFolder);
    AlbumScan scan;
    scan.dateRules = dateRules;
    scan.scannedFacts = &scannedFacts;
    AlbumModel model = scan.Scan(outputFolder, includeNoPreview, &progress, thumbnailWorkers);
    JoinLivePhotos(model);
    progress.Reset();
    MakeAlbumThumbnails(model, context, includeNoPreview, thumbnailWorkers);
    progress.Reset();
    model.Sort();
    WriteAlbumThumbnails(model, context, thumbnailWorkers);
    thumbnailFiles.RemoveUnclaimed();
    // The lists kept beside the cache's entries are written after it is cleared of the unused.
    cache.RemoveUnused();
    if (cache.Usable() && cache.MakeFolder()) {
        writes.Check(scannedFacts.Save(), scannedFacts.ListPath());
        writes.Check(thumbnailFiles.Save(), thumbnailFiles.ListPath());
    }
    CopyTemplate(context);
    WriteAlbumPages(model, context);
    if (writes.Failed())
        return AlbumBuildResult{writes.Status(), writes.FailedPath(), {}};
    g_Log.Write(L"写真一覧HTMLの生成(END)");
    return AlbumBuildResult{};
}
