#include "run/organize_and_build_album.h"

#include "album/album_build.h"

OrganizeResult OrganizeAndBuildAlbum(const OrganizeSettings& settings, ProgressSink& progress,
                                     const std::vector<std::wstring>& inputFolders, const std::wstring& outputFolder)
{
    OrganizeResult result = RunOrganize(settings, progress, inputFolders, outputFolder);
    if (!settings.MakePhotoHtml || result.Failed() || result.stopped)
        return result;
    const AlbumBuildResult built = BuildPhotoAlbum(progress, outputFolder, settings.MakePhotoHtmlIncludeNoPreview != 0,
                                                   L"", settings.DateRules());
    if (built.Failed()) {
        result.status = built.status;
        result.failedStage = OrganizeResult::kAlbum;
        result.failedAlbumPath = built.failedPath;
    }
    return result;
}
